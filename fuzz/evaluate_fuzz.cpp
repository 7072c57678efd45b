// Fuzz target: any text put into expression, then "=" (and "=" again on what it left).
//
// Input: one options byte (bit 0: degrees, bit 1: a result is already shown), then the
// expression text as text_from_bytes reads it.
#include <cstddef>
#include <cstdint>

#include "commands/evaluate.h"
#include "commands/state.h"
#include "fuzz/invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  reset_state();
  if (size > 0) {
    radian_mode = (data[0] & 1u) == 0;
    result_shown = (data[0] & 2u) != 0;
    ++data;
    --size;
  }
  expression = text_from_bytes(data, size);
  checked_evaluate(evaluate_command);
  check_repeated_evaluate(evaluate_command);
  return 0;
}
