// rivovuz_soak: a long random session through the real window, compared after every
// event with what rivovuz-cli keys prints for the same clicks and typed characters.
//
//   rivovuz_soak PROGRAM --cli CLI [--events N] [--seed S] [--gdi-counted]
//
// Clicks go through BM_CLICK on the button where the button has an area to click in,
// else as WM_COMMAND; typed characters as WM_CHAR. Size changes (0 by 0, tiny, larger
// than the screen, any WM_SIZE the 16-bit fields carry), minimise, restore and
// maximise are mixed in. After each event the process must be alive and answer within
// 10 s, and the display, the title and (after "2nd" and the angle-mode key) the
// captions must equal the driver's. What "Rand" draws differs between the two
// processes, so the display is not compared from a "Rand" until "AC", Escape or an
// "mr" of a clean memory replaces the text as a whole, and the title not from an "m+"
// or "m-" of such a text until "mc". --gdi-counted: PROGRAM is the counted build, whose
// live GDI objects must be as many at the end as after start-up. Closing must give 0.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/reliability/random_session.h"
#include "ui/key_table.h"

namespace {

constexpr DWORD answer_ms = 10000;
constexpr UINT gdi_count_message = WM_APP + 1;  // answered by the counted build only

struct Options {
  std::wstring program;
  std::wstring cli;
  int events = 2000;
  unsigned long long seed = 1;
  bool gdi_counted = false;
};

std::string narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
      out += escaped;
    }
  }
  return out.size() > 300 ? out.substr(0, 300) + "..." : out;
}

std::wstring widen_utf8(const std::string& text) {
  if (text.empty()) return L"";
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::string event_text(const SessionEvent& e) {
  switch (e.kind) {
    case SessionEventKind::key: return "k " + std::to_string(e.value) + (e.via_button ? " (button)" : "");
    case SessionEventKind::typed: return "c " + std::to_string(e.value);
    case SessionEventKind::window_size: return "size " + std::to_string(e.width) + "x" + std::to_string(e.height);
    case SessionEventKind::size_message: return "WM_SIZE " + std::to_string(e.width) + "x" + std::to_string(e.height);
    case SessionEventKind::minimise: return "minimise";
    case SessionEventKind::restore: return "restore";
    case SessionEventKind::maximise: return "maximise";
  }
  return "?";
}

bool read_options(int argc, wchar_t** argv, Options& options) {
  if (argc < 2) return false;
  options.program = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::wstring word = argv[i];
    if (word == L"--gdi-counted") {
      options.gdi_counted = true;
    } else if (i + 1 < argc && word == L"--cli") {
      options.cli = argv[++i];
    } else if (i + 1 < argc && word == L"--events") {
      options.events = _wtoi(argv[++i]);
    } else if (i + 1 < argc && word == L"--seed") {
      options.seed = _wcstoui64(argv[++i], nullptr, 10);
    } else {
      return false;
    }
  }
  return !options.cli.empty() && options.events > 0;
}

std::wstring temp_file(const wchar_t* prefix) {
  wchar_t folder[MAX_PATH] = {};
  wchar_t path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, prefix, 0, path);
  return path;
}

bool write_file(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::vector<std::string> read_lines(const std::wstring& path) {
  std::vector<std::string> lines;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lines;
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Runs the console driver with its standard input and output on files; its exit code,
// or -1 when it could not start or did not end within two minutes.
long run_cli(const Options& options, const std::wstring& input, const std::wstring& output) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE in = CreateFileW(input.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);
  HANDLE out = CreateFileW(output.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::wstring command = L"\"" + options.cli + L"\" keys --seed " + std::to_wstring(options.seed);
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessW(options.cli.c_str(), command.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &process);
  CloseHandle(in);
  CloseHandle(out);
  if (!started) {
    std::printf("soak: cannot start %s (error %lu)\n", narrow(options.cli).c_str(), GetLastError());
    return -1;
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<long>(code);
}

struct FindWindow {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<FindWindow*>(data);
  wchar_t name[16] = {};
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  GetClassNameW(window, name, 16);
  if (owner == search->process_id && std::wstring(name) == L"ZUR") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND wait_for_window(DWORD process_id) {
  for (int tries = 0; tries < 300; ++tries) {
    FindWindow search = {process_id, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(100);
  }
  return nullptr;
}

bool send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR* result = nullptr) {
  DWORD_PTR unused = 0;
  return SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, answer_ms,
                             result ? result : &unused) != 0;
}

// The text of a window of the other process, through WM_GETTEXT (which crosses processes).
bool text_of(HWND window, std::wstring& text) {
  DWORD_PTR length = 0;
  if (!send(window, WM_GETTEXTLENGTH, 0, 0, &length)) return false;
  std::vector<wchar_t> buffer(length + 2, L'\0');
  DWORD_PTR copied = 0;
  if (!send(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &copied)) return false;
  text.assign(buffer.data(), copied);
  return true;
}

std::wstring captions_of(HWND main) {
  std::wstring joined;
  for (const KeyDef& key : key_table) {
    std::wstring caption;
    text_of(GetDlgItem(main, key.id), caption);
    if (!joined.empty()) joined += L'\t';
    joined += caption;
  }
  return joined;
}

struct Tally {
  int clicks_button = 0, clicks_command = 0, typed = 0, sizes = 0, size_messages = 0, shows = 0;
  int displays_compared = 0, displays_skipped = 0, titles_compared = 0, captions_compared = 0;
  long min_width = 1 << 30, min_height = 1 << 30, max_width = 0, max_height = 0;
};

void run_event(HWND main, const SessionEvent& e, Tally& tally) {
  switch (e.kind) {
    case SessionEventKind::key: {
      HWND button = e.value >= 1001 && e.value <= 1048 ? GetDlgItem(main, e.value) : nullptr;
      RECT area = {};
      const bool clickable = button && GetClientRect(button, &area) && area.right > 0 && area.bottom > 0;
      if (e.via_button && clickable) {
        send(button, BM_CLICK, 0, 0);
        ++tally.clicks_button;
      } else {
        send(main, WM_COMMAND, MAKEWPARAM(e.value & 0xFFFF, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        ++tally.clicks_command;
      }
      break;
    }
    case SessionEventKind::typed:
      send(main, WM_CHAR, static_cast<WPARAM>(e.value), 1);
      ++tally.typed;
      break;
    case SessionEventKind::window_size:
      SetWindowPos(main, nullptr, 0, 0, e.width, e.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      ++tally.sizes;
      break;
    case SessionEventKind::size_message:
      send(main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(e.width, e.height));
      ++tally.size_messages;
      break;
    case SessionEventKind::minimise: ShowWindow(main, SW_MINIMIZE); ++tally.shows; break;
    case SessionEventKind::restore: ShowWindow(main, SW_RESTORE); ++tally.shows; break;
    case SessionEventKind::maximise: ShowWindow(main, SW_MAXIMIZE); ++tally.shows; break;
  }
  if (e.kind != SessionEventKind::key && e.kind != SessionEventKind::typed) {
    RECT client = {};
    GetClientRect(main, &client);
    tally.min_width = std::min<long>(tally.min_width, client.right);
    tally.min_height = std::min<long>(tally.min_height, client.bottom);
    tally.max_width = std::max<long>(tally.max_width, client.right);
    tally.max_height = std::max<long>(tally.max_height, client.bottom);
  }
}

int failure(const std::vector<SessionEvent>& events, std::size_t at, const std::string& what) {
  std::printf("soak: FAILED at event %zu: %s\n  last events:", at + 1, what.c_str());
  for (std::size_t i = at >= 10 ? at - 10 : 0; i <= at && i < events.size(); ++i)
    std::printf(" [%s]", event_text(events[i]).c_str());
  std::printf("\n");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!read_options(argc, argv, options)) {
    std::fputs("usage: rivovuz_soak PROGRAM --cli CLI [--events N] [--seed S] [--gdi-counted]\n", stderr);
    return 2;
  }
  const DWORD started_at = GetTickCount();
  const std::vector<SessionEvent> events = random_session(options.events, options.seed, true);

  // What the console driver shows for the same clicks and characters: after each of
  // them the display and the title, after "2nd" and the angle-mode key the captions.
  std::string input;
  for (const SessionEvent& e : events) {
    const std::string line = cli_line(e);
    if (line.empty()) continue;
    input += line + "\ntitle\n";
    if (e.kind == SessionEventKind::key && (e.value == 1022 || e.value == 1023)) input += "captions\n";
  }
  const std::wstring input_path = temp_file(L"sin");
  const std::wstring output_path = temp_file(L"sot");
  if (!write_file(input_path, input)) return std::printf("soak: cannot write %s\n", narrow(input_path).c_str()), 1;
  const long cli_code = run_cli(options, input_path, output_path);
  const std::vector<std::string> expected = read_lines(output_path);
  DeleteFileW(input_path.c_str());
  DeleteFileW(output_path.c_str());
  if (cli_code != 0) return std::printf("soak: rivovuz-cli exited with %ld\n", cli_code), 1;

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::wstring command = L"\"" + options.program + L"\"";
  if (!CreateProcessW(options.program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return std::printf("soak: cannot start %s\n", narrow(options.program).c_str()), 1;
  WaitForInputIdle(process.hProcess, answer_ms);
  HWND main = wait_for_window(process.dwProcessId);
  if (!main) return std::printf("soak: no \"ZUR\" window\n"), 1;
  HWND display = GetDlgItem(main, 1000);
  DWORD_PTR live_at_start = 0;
  if (options.gdi_counted) send(main, gdi_count_message, 0, 0, &live_at_start);

  Tally tally;
  std::size_t next_line = 0;
  std::wstring display_expected = L"0";
  std::wstring title_expected;
  std::wstring captions_expected;
  bool display_drawn = false;  // what "Rand" drew is in the expression
  bool memory_drawn = false;   // ... or in the memory
  text_of(main, title_expected);
  for (std::size_t i = 0; i < events.size(); ++i) {
    const SessionEvent& e = events[i];
    run_event(main, e, tally);
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_TIMEOUT)
      return failure(events, i, "the program has ended");
    DWORD_PTR unused = 0;
    if (!send(main, WM_NULL, 0, 0, &unused)) return failure(events, i, "no answer within 10 s");

    bool compare_captions = false;
    if (e.kind == SessionEventKind::key || e.kind == SessionEventKind::typed) {
      if (next_line + 2 > expected.size()) return failure(events, i, "rivovuz-cli printed too few lines");
      display_expected = widen_utf8(expected[next_line++]);
      title_expected = widen_utf8(expected[next_line++]);
      const bool key = e.kind == SessionEventKind::key;
      if (key && (e.value == 1045 || e.value == 1046) && display_drawn) memory_drawn = true;
      if (key && e.value == 1044) memory_drawn = false;
      if (key && e.value == 1048) display_drawn = true;
      if ((key && e.value == 1017) || (!key && e.value == 27)) display_drawn = false;
      if (key && e.value == 1047) display_drawn = memory_drawn;
      if (key && (e.value == 1022 || e.value == 1023)) {
        if (next_line >= expected.size()) return failure(events, i, "rivovuz-cli printed too few lines");
        captions_expected = widen_utf8(expected[next_line++]);
        compare_captions = true;
      }
    }
    std::wstring shown;
    if (!text_of(display, shown)) return failure(events, i, "the display did not answer");
    if (display_drawn) {
      ++tally.displays_skipped;
    } else {
      ++tally.displays_compared;
      if (shown != display_expected)
        return failure(events, i, "display \"" + narrow(shown) + "\", rivovuz-cli \"" + narrow(display_expected) + "\"");
    }
    if (!memory_drawn) {
      std::wstring title;
      text_of(main, title);
      ++tally.titles_compared;
      if (title != title_expected)
        return failure(events, i, "title \"" + narrow(title) + "\", rivovuz-cli \"" + narrow(title_expected) + "\"");
    }
    if (compare_captions) {
      ++tally.captions_compared;
      const std::wstring captions = captions_of(main);
      if (captions != captions_expected)
        return failure(events, i, "captions \"" + narrow(captions) + "\", rivovuz-cli \"" + narrow(captions_expected) + "\"");
    }
  }
  if (next_line != expected.size()) return failure(events, events.size() - 1, "rivovuz-cli printed more lines");

  DWORD_PTR live_at_end = 0;
  if (options.gdi_counted) {
    send(main, gdi_count_message, 0, 0, &live_at_end);
    if (live_at_end != live_at_start)
      return std::printf("soak: GDI objects alive: %lu after start, %lu at the end\n",
                         static_cast<unsigned long>(live_at_start), static_cast<unsigned long>(live_at_end)), 1;
  }
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  std::printf("soak: %d events in %.1f s (seed %llu): %d clicks by BM_CLICK, %d by WM_COMMAND, %d typed, "
              "%d window sizes, %d WM_SIZE, %d minimise/restore/maximise\n",
              options.events, (GetTickCount() - started_at) / 1000.0, options.seed, tally.clicks_button,
              tally.clicks_command, tally.typed, tally.sizes, tally.size_messages, tally.shows);
  std::printf("soak: client sizes from %ldx%ld to %ldx%ld (screen %dx%d)\n", tally.min_width,
              tally.min_height, tally.max_width, tally.max_height, GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN));
  std::printf("soak: display equal to rivovuz-cli after %d events (%d skipped after \"Rand\"), "
              "title after %d, captions after %d\n",
              tally.displays_compared, tally.displays_skipped, tally.titles_compared, tally.captions_compared);
  if (options.gdi_counted)
    std::printf("soak: GDI objects alive %lu after start and %lu at the end\n",
                static_cast<unsigned long>(live_at_start), static_cast<unsigned long>(live_at_end));
  std::printf("soak: exit code %ld after WM_CLOSE\n", static_cast<long>(code));
  return code == 0 ? 0 : 1;
}
