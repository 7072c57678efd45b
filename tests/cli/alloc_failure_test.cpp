// Out of memory at every allocation in turn: the event or line that meets it changes
// nothing, and the run goes on exactly as if that event had never happened.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "cli/driver.h"
#include "tests/support/failing_alloc.h"
#include "tests/support/session.h"

namespace {

// First in this program, before anything resets the session: a failed first event leaves
// the state the program starts with, as in a fresh rivovuz.exe.
TEST(AllocationFailure, AFailedFirstEventLeavesTheStartState) {
  const Session start = snapshot();
  EXPECT_EQ(start.log_bytes + start.history_size + start.undo_count + start.redo_count, 0u);
  arm_allocations(1);
  const bool done = paste_event(L"12+3\r");
  disarm_allocations();
  EXPECT_FALSE(done);
  EXPECT_TRUE(allocation_plan.failed);
  EXPECT_EQ(snapshot(), start) << describe(snapshot());
}

// The session, every text the undo log can go back to (newest first), and the session
// again after redoing all of it.
struct Outcome {
  Session session;
  std::vector<std::wstring> undo_trail;
  Session redone;
  bool operator==(const Outcome& o) const {
    return session == o.session && undo_trail == o.undo_trail && redone == o.redone;
  }
};

Outcome outcome() {
  Outcome out{snapshot(), {}, {}};
  while (undo_event()) {
    if (undo_count() + 1 == out.undo_trail.size()) break;
    // The text and the memory bits of every state the log goes back to.
    out.undo_trail.push_back(expression + L"\t" + std::to_wstring(std::bit_cast<std::uint64_t>(memory)));
    if (undo_count() == 0) break;
  }
  while (redo_count() > 0 && redo_event()) {
  }
  out.redone = snapshot();
  return out;
}

std::wstring first_difference(const Outcome& a, const Outcome& b) {
  if (!(a.session == b.session)) return L"the session";
  if (!(a.redone == b.redone)) return L"the session redone";
  for (std::size_t i = 0; i < a.undo_trail.size() && i < b.undo_trail.size(); ++i)
    if (a.undo_trail[i] != b.undo_trail[i])
      return L"undo " + std::to_wstring(i + 1) + L": \"" + a.undo_trail[i] + L"\" against \"" +
             b.undo_trail[i] + L"\"";
  return L"the trail's length";
}

// Runs the events from the start state, leaving out the one at skip.
Outcome run_without(const std::vector<UserEvent>& events, std::size_t skip) {
  reset_session();
  for (std::size_t i = 0; i < events.size(); ++i)
    if (i != skip) run_user_event(events[i]);
  return outcome();
}

// Each script reaches a different road: whole-text edits, the history walk, long
// pastes, modes and memory, undo and redo in the middle.
const std::vector<UserEvent> fixed_scripts[] = {
    {typed('1'), typed('/'), typed('0'), typed(13), undo_key, redo_key, undo_key, typed('5')},
    {pasted(L"12*(3+4"), typed(13), up_key, typed(8), pasted(L"\r"), up_key, up_key, down_key, down_key},
    {click(1006), click(1045), click(1019), click(1022), click(1023), click(1027), click(1047),
     click(1017), undo_key, undo_key, redo_key, click(1044)},
    {pasted(L"123456789012345678901234567890+"), click(1024), click(1016), click(1036), click(1041),
     click(1018), click(1011), undo_key, undo_key, undo_key, redo_key, typed('7')},
    {typed('9'), typed(13), typed('8'), typed(13), up_key, up_key, typed('1'), up_key, undo_key, down_key},
    {pasted(L"1234567890*(1234567890+987654321)-(55555555555/7)"), typed(13), up_key, click(1019),
     click(1016), undo_key, undo_key, down_key, pasted(L"+1"), typed(8), click(1017), undo_key, redo_key},
};

// The fixed scripts and a long random one over every kind of event.
std::vector<std::vector<UserEvent>> scripts() {
  std::vector<std::vector<UserEvent>> all(std::begin(fixed_scripts), std::end(fixed_scripts));
  // Up to a long entry, Down back to the draft or to a newer entry: the steps keep the
  // long text.
  const std::wstring long_sum = L"1+" + std::wstring(300, L'1');
  all.push_back({pasted(long_sum.c_str()), typed(13), up_key, down_key, up_key});
  all.push_back({pasted(long_sum.c_str()), typed(13), pasted(L"1+2\r"), up_key, up_key, down_key});
  // "=" on a shown result records it and changes nothing else.
  all.push_back({pasted(L"2+3\r"), typed(13), typed('+'), typed('1'), typed(13)});
  // A sign on a text that fills its buffer (3 characters inline with 4-byte wchar_t, 7
  // with 2-byte): the insert at the front must take memory.
  all.push_back({pasted(L"123"), click(1019), click(1017), pasted(L"1234567"), click(1019)});
  // Steps in a row, so that a new block of steps is needed by a backspace (whose saved
  // character must go back) and by a memory step (whose pair must go).
  all.push_back({typed('5')});
  for (int n = 0; n < 10; ++n) all.back().insert(all.back().end(), {typed('1'), typed('2'), typed(8), typed(8)});
  for (int n = 0; n < 40; ++n) all.back().push_back(click(1045));
  const UserEvent pool[] = {click(1002), click(1010), click(1012), click(1014), click(1016),
                            click(1017), click(1018), click(1019), click(1022), click(1027),
                            click(1045), click(1047), typed('4'), typed('('), typed(13),
                            typed(8), pasted(L"7/(2+5\r"), undo_key, redo_key, up_key, down_key};
  std::mt19937 generator(5);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pool) - 1);
  all.emplace_back();
  for (int n = 0; n < 120; ++n) all.back().push_back(pool[pick(generator)]);
  // Signs and memory on texts that keep growing, so that failures also meet a text
  // that must grow at its front and a memory step whose record needs a new block.
  const UserEvent growing[] = {click(1019), click(1045), click(1046), pasted(L"12345678"),
                               click(1010), undo_key, click(1044)};
  std::uniform_int_distribution<std::size_t> pick_growing(0, std::size(growing) - 1);
  all.emplace_back();
  for (int n = 0; n < 300; ++n) all.back().push_back(growing[pick_growing(generator)]);
  return all;
}

TEST(AllocationFailure, EveryEventIsAllOrNothing) {
  std::size_t runs = 0;
  for (const auto& events : scripts()) {
    std::srand(1);
    reset_session();
    arm_allocations(0);
    for (const UserEvent& e : events) {
      allocation_plan.armed = true;
      run_user_event(e);
      allocation_plan.armed = false;
    }
    // A script may need no memory at all where strings keep short texts inline.
    const std::size_t total = allocation_plan.count;
    for (std::size_t k = 1; k <= total; ++k, ++runs) {
      reset_session();
      std::srand(1);
      arm_allocations(k);
      allocation_plan.armed = false;  // counted inside the events only, as above
      std::size_t failed = events.size();
      for (std::size_t i = 0; i < events.size(); ++i) {
        const Session before = snapshot();
        allocation_plan.armed = true;
        const bool done = run_user_event(events[i]);
        allocation_plan.armed = false;
        if (done) {
          // A failure that an event swallowed would show as a wrong outcome later.
          ASSERT_FALSE(allocation_plan.failed && failed == events.size()) << "k=" << k << " event " << i;
          continue;
        }
        ASSERT_TRUE(allocation_plan.failed) << "k=" << k << " event " << i;
        ASSERT_FALSE(step_in_progress()) << "k=" << k << " event " << i;
        ASSERT_EQ(failed, events.size()) << "k=" << k << ": a second failure";
        failed = i;
        ASSERT_EQ(snapshot(), before) << "k=" << k << " event " << i << ": " << describe(snapshot());
      }
      ASSERT_LT(failed, events.size()) << "k=" << k << ": no event failed";
      const Outcome got = outcome();
      const Outcome want = run_without(events, failed);
      ASSERT_TRUE(got == want) << "k=" << k << " event " << failed << ": " << describe(got.session)
                               << " trail " << got.undo_trail.size() << ", want "
                               << describe(want.session) << " trail " << want.undo_trail.size()
                               << " first difference at " << first_difference(got, want);
    }
  }
  EXPECT_GT(runs, 100u);
  std::printf("%zu runs, each with one allocation failed\n", runs);
}

// The console driver over the same plan: the line that meets the failure prints
// nothing, is reported on its own, and the next lines go on from the state before it.
struct DriverRun {
  std::string out;
  std::string err;
  int exit_code;
  std::wstring expression;  // afterwards: a failed last line leaves the one before
};

std::string read_all(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c; (c = std::getc(file)) != EOF;) text += static_cast<char>(c);
  return text;
}

DriverRun drive(const std::string& input, bool eval_mode, std::size_t fail_at, bool full = false) {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  std::fputs(input.c_str(), in);
  std::rewind(in);
  reset_session();
  std::srand(1);
  arm_allocations(fail_at);
  const int code = run_lines(in, out, err, eval_mode, full);
  disarm_allocations();
  DriverRun run{read_all(out), read_all(err), code, expression};
  std::fclose(in);
  std::fclose(out);
  std::fclose(err);
  return run;
}

struct DriverScript {
  bool eval_mode;
  std::vector<std::string> lines;
  bool full = false;  // eval --full
};

const DriverScript driver_scripts[] = {
    {false, {"k 1003", "paste 1+2*3\\r", "undo", "up", "c 13", "state", "title", "captions", "redo",
             "down", "k 1017", "state"}},
    {true, {"1+2", "sin(30", "(((1", "2\xC3\x97" "3", "1/0", "12345678901234567890"}},
    {true, {"1/3", "", "0", "-0", "(2^0.5", "10^400", "1/0"}, true},
};

std::string joined(const std::vector<std::string>& lines, std::size_t skip) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (i != skip) text += lines[i] + "\n";
  return text;
}

TEST(AllocationFailure, DriverLinesAreAllOrNothing) {
  std::size_t runs = 0;
  for (const DriverScript& script : driver_scripts) {
    const std::string input = joined(script.lines, script.lines.size());
    const DriverRun clean = drive(input, script.eval_mode, 0, script.full);
    ASSERT_EQ(clean.exit_code, 0) << clean.err;
    const std::size_t total = allocation_plan.count;
    ASSERT_GT(total, 0u);
    for (std::size_t k = 1; k <= total; ++k) {
      const DriverRun run = drive(input, script.eval_mode, k, script.full);
      ASSERT_EQ(run.exit_code, 1) << "k=" << k;
      // "rivovuz-cli: line N: out of memory", N from 1.
      const std::string prefix = "rivovuz-cli: line ";
      ASSERT_EQ(run.err.compare(0, prefix.size(), prefix), 0) << run.err;
      const std::size_t line = std::stoul(run.err.substr(prefix.size()));
      ASSERT_EQ(run.err, prefix + std::to_string(line) + ": out of memory\n") << "k=" << k;
      ASSERT_GE(line, 1u);
      const DriverRun without = drive(joined(script.lines, line - 1), script.eval_mode, 0, script.full);
      ASSERT_EQ(run.out, without.out) << "k=" << k << " line " << line;
      ASSERT_TRUE(run.expression == without.expression) << "k=" << k << " line " << line;
      ++runs;
    }
  }
  std::printf("%zu driver runs, each with one allocation failed\n", runs);
}

}  // namespace
