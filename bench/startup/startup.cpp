// Start-up and memory of the calculator against the bare-window floor, in one run.
//
// Usage: rivovuz_startup CALCULATOR.exe FLOOR.exe [ROUNDS]
// Each round starts the floor and then the calculator (after one untimed warm-up
// of each) and, for each, measures:
//   - start-up: from just before CreateProcessW to the first moment at which the
//     program's top-level window (class "ZUR", or the floor's class) is visible and
//     it, and for the calculator the display and all 48 keys, are visible with no
//     pending update region: every WM_PAINT has run, so each owner-drawn key has
//     been drawn through WM_DRAWITEM. Polled every millisecond; each poll asks the
//     window server as little as it can, so as not to slow the program it watches.
//   - at that moment, GetProcessMemoryInfo: PagefileUsage (commit) and
//     PeakWorkingSetSize.
// Then the window is closed with WM_CLOSE and the exit code must be 0. Prints one
// line per measurement, then the medians and the ratios calculator / floor.
// Exit code 0 when every measurement succeeded, 1 otherwise.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD start_timeout_ms = 60000;
constexpr DWORD exit_timeout_ms = 20000;
constexpr int first_key_id = 1001;
constexpr int last_key_id = 1048;
constexpr int display_id = 1000;

struct Program {
  const wchar_t* label;
  std::wstring path;
  const wchar_t* window_class;
  bool has_keypad;
};

struct Measurement {
  bool ok;
  double startup_ms;
  double commit_kib;
  double peak_working_set_kib;
};

struct WindowSearch {
  DWORD process_id;
  const wchar_t* window_class;
  HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (owner != search->process_id || lstrcmpW(name, search->window_class) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

HWND find_window(DWORD process_id, const wchar_t* window_class) {
  WindowSearch search = {process_id, window_class, nullptr};
  EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Visible and with nothing left to paint.
bool painted(HWND window) {
  return window && IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE);
}

// The display and the 48 keys, looked up once they all exist (each lookup asks the
// window server, so the poll must not repeat it).
struct Keypad {
  HWND controls[1 + last_key_id - first_key_id + 1];
  bool complete;
};

void find_keypad(HWND window, Keypad& keypad) {
  keypad.controls[0] = GetDlgItem(window, display_id);
  keypad.complete = keypad.controls[0] != nullptr;
  for (int id = first_key_id; id <= last_key_id && keypad.complete; ++id) {
    keypad.controls[1 + id - first_key_id] = GetDlgItem(window, id);
    keypad.complete = keypad.controls[1 + id - first_key_id] != nullptr;
  }
}

// Checked from the last control back: the last ones are painted last, so a poll
// that comes too early costs one question to the window server, not fifty.
bool first_paint_done(HWND window, bool has_keypad, Keypad& keypad) {
  if (!painted(window)) return false;
  if (!has_keypad) return true;
  if (!keypad.complete) find_keypad(window, keypad);
  if (!keypad.complete) return false;
  for (int n = last_key_id - first_key_id + 1; n >= 0; --n)
    if (!painted(keypad.controls[n])) return false;
  return true;
}

// Wine maps the Unix root to drive Z:, so a Unix path is turned into that form.
std::wstring windows_path(const std::wstring& path) {
  if (path.empty() || path[0] != L'/') return path;
  std::wstring result = L"Z:" + path;
  for (wchar_t& c : result)
    if (c == L'/') c = L'\\';
  return result;
}

double milliseconds_since(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

void close_program(const PROCESS_INFORMATION& process, HWND window, bool& ok) {
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, exit_timeout_ms) != WAIT_OBJECT_0) {
    std::fwprintf(stderr, L"the program did not end after WM_CLOSE\n");
    TerminateProcess(process.hProcess, 2);
    WaitForSingleObject(process.hProcess, exit_timeout_ms);
    ok = false;
  }
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  if (code != 0) {
    std::fwprintf(stderr, L"exit code %lu\n", static_cast<unsigned long>(code));
    ok = false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

Measurement measure(const Program& program) {
  Measurement m = {false, 0, 0, 0};
  std::wstring command_line = L"\"" + windows_path(program.path) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", program.path.c_str(),
                  static_cast<unsigned long>(GetLastError()));
    return m;
  }
  HWND window = nullptr;
  Keypad keypad = {};
  bool done = false;
  while (milliseconds_since(start) < start_timeout_ms) {
    if (!window) window = find_window(process.dwProcessId, program.window_class);
    if (window && first_paint_done(window, program.has_keypad, keypad)) {
      done = true;
      break;
    }
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;  // ended early
  }
  m.startup_ms = milliseconds_since(start);
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  const bool have_counters = GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters);
  m.commit_kib = static_cast<double>(counters.PagefileUsage) / 1024.0;
  m.peak_working_set_kib = static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
  m.ok = done && have_counters;
  if (!done) std::fwprintf(stderr, L"%ls: no painted window within the time limit\n", program.label);
  if (!have_counters) std::fwprintf(stderr, L"%ls: GetProcessMemoryInfo failed\n", program.label);
  close_program(process, window, m.ok);
  return m;
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Series {
  std::vector<double> startup_ms, commit_kib, peak_kib;
};

void add(Series& series, const Measurement& m) {
  series.startup_ms.push_back(m.startup_ms);
  series.commit_kib.push_back(m.commit_kib);
  series.peak_kib.push_back(m.peak_working_set_kib);
}

void print_measurement(const wchar_t* round, const Program& program, const Measurement& m) {
  std::wprintf(L"%-7ls %-10ls %9.1f ms %9.0f KiB %9.0f KiB%ls\n", round, program.label,
               m.startup_ms, m.commit_kib, m.peak_working_set_kib, m.ok ? L"" : L"  FAILED");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: rivovuz_startup CALCULATOR.exe FLOOR.exe [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
  const Program calculator = {L"rivovuz", argv[1], L"ZUR", true};
  const Program floor = {L"floor", argv[2], L"RivovuzFloor", false};

  bool all_ok = true;
  std::wprintf(L"%-7ls %-10ls %12ls %13ls %13ls\n", L"round", L"program", L"start-up",
               L"commit", L"peak WS");
  // Warm-up: the first start of a program loads its file and Wine's DLLs from disk.
  for (const Program* p : {&floor, &calculator}) {
    const Measurement m = measure(*p);
    print_measurement(L"warm-up", *p, m);
    all_ok = all_ok && m.ok;
  }
  Series floor_series, calculator_series;
  for (int r = 1; r <= rounds; ++r) {
    const std::wstring round = std::to_wstring(r);
    const Measurement f = measure(floor);
    print_measurement(round.c_str(), floor, f);
    const Measurement c = measure(calculator);
    print_measurement(round.c_str(), calculator, c);
    all_ok = all_ok && f.ok && c.ok;
    add(floor_series, f);
    add(calculator_series, c);
  }
  const double fs = median(floor_series.startup_ms), cs = median(calculator_series.startup_ms);
  const double fc = median(floor_series.commit_kib), cc = median(calculator_series.commit_kib);
  const double fp = median(floor_series.peak_kib), cp = median(calculator_series.peak_kib);
  std::wprintf(L"\nmedian of %d rounds    floor   rivovuz   ratio\n", rounds);
  std::wprintf(L"start-up (ms)      %8.1f  %8.1f  %6.2f\n", fs, cs, fs > 0 ? cs / fs : 0);
  std::wprintf(L"commit (KiB)       %8.0f  %8.0f  %6.2f\n", fc, cc, fc > 0 ? cc / fc : 0);
  std::wprintf(L"peak WS (KiB)      %8.0f  %8.0f  %6.2f\n", fp, cp, fp > 0 ? cp / fp : 0);
  std::fflush(stdout);
  return all_ok ? 0 : 1;
}
