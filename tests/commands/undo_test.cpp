// Undo, redo and the history walk: tables of event sequences, a model check over
// random sessions, and what a step costs.
#include <gtest/gtest.h>

#include <random>

#include "commands/edit.h"
#include "helpers.h"
#include "tests/support/session.h"

namespace {

struct SessionCase {
  const char* name;
  std::vector<UserEvent> events;
  const wchar_t* text;  // expression afterwards
  bool shown;           // result_shown afterwards
  double memory;
};

void check(const SessionCase& c) {
  reset_session();
  for (const UserEvent& e : c.events) {
    ASSERT_TRUE(run_user_event(e)) << c.name;
    ASSERT_FALSE(step_in_progress()) << c.name;  // whichever way the step ended
  }
  EXPECT_EQ(expression, c.text) << c.name;
  EXPECT_EQ(result_shown, c.shown) << c.name;
  EXPECT_EQ(memory, c.memory) << c.name;
}

const SessionCase undo_cases[] = {
    {"an error is undone back to its expression",
     {typed('1'), typed('/'), typed('0'), typed(13), undo_key}, L"1\u00F70", false, 0},
    {"AC is undone", {typed('1'), typed('2'), typed('3'), click(key::clear), undo_key}, L"123", false, 0},
    {"mc is undone", {typed('5'), click(key::m_plus), click(key::mc), undo_key}, L"5", false, 5},
    {"m+ is undone", {typed('5'), click(key::m_plus), undo_key}, L"5", false, 0},
    {"m+ is redone", {typed('5'), click(key::m_plus), typed('2'), click(key::m_plus), undo_key, undo_key, undo_key,
                      redo_key, redo_key, redo_key}, L"52", false, 57},
    {"mc is redone", {typed('5'), click(key::m_plus), click(key::mc), undo_key, redo_key}, L"5", false, 0},
    {"mr is undone", {typed('5'), click(key::m_plus), typed('7'), click(key::mr), undo_key}, L"57", false, 5},
    {"a sign is undone", {typed('1'), typed('2'), click(key::sign), undo_key}, L"12", false, 0},
    {"a sign taken away is undone", {typed('1'), click(key::sign), click(key::sign), undo_key}, L"-1", false, 0},
    {"a backspace is undone", {typed('1'), typed('2'), typed(8), undo_key}, L"12", false, 0},
    {"a fresh start keeps the result", {typed('2'), typed(13), typed('3'), undo_key}, L"2", true, 0},
    {"undo past the start stays at 0", {typed('1'), undo_key, undo_key}, L"0", false, 0},
    {"redo after undo", {typed('1'), typed('2'), undo_key, undo_key, redo_key, redo_key}, L"12", false, 0},
    {"redo with nothing to redo", {typed('1'), redo_key}, L"1", false, 0},
    {"a new step drops the redo", {typed('1'), typed('2'), undo_key, typed('3'), redo_key}, L"13", false, 0},
    {"a paste is one step", {typed('9'), pasted(L"+1\r2*3\r"), undo_key}, L"9", false, 0},
    {"a paste is redone whole", {pasted(L"12+3\r4"), undo_key, redo_key}, L"4", false, 0},
    {"a paste that takes back past its start",
     {typed('3'), typed('4'), typed('5'), typed('6'), pasted(L"12\b\b\b\b\b9"), undo_key}, L"3456", false, 0},
    {"a paste that takes back past its start, redone",
     {typed('3'), typed('4'), typed('5'), typed('6'), pasted(L"12\b\b\b\b\b9"), undo_key, redo_key},
     L"39", false, 0},
    {"an event that changes nothing is no step",
     {typed('1'), click(key::mc), typed('x'), click(999), undo_key}, L"0", false, 0},
    {"\"0\" typed on \"0\" is no step", {typed('7'), typed(27), typed('0'), undo_key}, L"7", false, 0},
    {"a recall is undone", {typed('1'), typed('+'), typed('2'), typed(13), up_key, undo_key}, L"3", true, 0},
};

const SessionCase history_cases[] = {
    {"Up shows the newest entry", {typed('1'), typed('+'), typed('2'), typed(13), up_key}, L"1+2", false, 0},
    {"Up twice shows the one before",
     {typed('1'), typed(13), typed('2'), typed('*'), typed('3'), typed(13), up_key, up_key}, L"1", false, 0},
    {"Up at the oldest does nothing", {typed('4'), typed('-'), typed(13), up_key, up_key}, L"4-", false, 0},
    {"Up with no history does nothing", {typed('4'), up_key}, L"4", false, 0},
    {"\"=\" on 0 is not recorded", {click(key::equals), typed('5'), up_key}, L"5", false, 0},
    {"the same text is recorded once",
     {typed('3'), typed(13), typed('3'), typed(13), typed('5'), up_key, up_key, down_key}, L"5", false, 0},
    {"Down brings back the draft with its result", {typed('2'), typed('*'), typed('3'), typed(13), typed('-'),
                                                    typed('1'), typed(13), up_key, up_key, down_key, down_key},
     L"5", true, 0},
    {"Down without a walk does nothing", {typed('6'), typed(13), down_key}, L"6", true, 0},
    {"another event ends the walk",
     {typed('1'), typed(13), typed('2'), typed(13), up_key, up_key, typed('5'), up_key}, L"2", false, 0},
    {"undo ends the walk",
     {typed('1'), typed(13), typed('2'), typed(13), typed('3'), typed(13), up_key, up_key, up_key, undo_key, up_key},
     L"3", false, 0},
    {"a pasted Enter records", {pasted(L"8/2\r"), up_key}, L"8\u00F72", false, 0},
    {"the key \"=\" records as shown", {typed('2'), click(key::times), typed('3'), click(key::equals), up_key},
     L"2*3", false, 0},
    {"a recalled entry is edited", {typed('1'), typed(13), up_key, typed('0'), typed(13)}, L"10", true, 0},
    {"Up three times reaches the oldest",
     {typed('1'), typed(13), typed('2'), typed(13), typed('3'), typed(13), up_key, up_key, up_key}, L"1", false, 0},
    {"Down steps back one entry",
     {typed('1'), typed(13), typed('2'), typed(13), typed('3'), typed(13), up_key, up_key, up_key, down_key},
     L"2", false, 0},
    {"a walk back at its draft is over: Up starts at the newest",
     {typed('1'), typed(13), typed('2'), typed(13), up_key, down_key, up_key}, L"2", false, 0},
};

TEST(Undo, Sequences) {
  for (const SessionCase& c : undo_cases) check(c);
}

TEST(History, Sequences) {
  for (const SessionCase& c : history_cases) check(c);
}

// Edits inside one step in orders no key makes today (an edit at the back after one at
// the front, and the other way): undo puts back the text before, redo the text after.
TEST(Undo, AnyOrderOfEditsInOneStep) {
  using Edits = void (*)();
  const struct {
    const wchar_t* start;
    Edits edits;
    const wchar_t* after;
  } rows[] = {
      {L"12345", [] { expression_insert_front(L'-'); expression_append(L"6"); }, L"-123456"},
      {L"12345", [] { expression_insert_front(L'-'); expression_pop_back(); expression_pop_back(); }, L"-123"},
      {L"12345", [] { expression_erase_front(); expression_pop_back(); expression_insert_front(L'9'); }, L"9234"},
      {L"12345", [] { expression_pop_back(); expression_erase_front(); expression_append(L"77"); }, L"23477"},
      {L"123456789", [] { expression_erase_front(); for (int k = 0; k < 7; ++k) expression_pop_back(); }, L"2"},
      {L"12", [] { expression_erase_front(); expression_pop_back(); expression_append(L"345"); }, L"345"},
      {L"123456", [] { for (int k = 0; k < 3; ++k) expression_erase_front(); }, L"456"},
  };
  for (const auto& row : rows) {
    reset_session();
    paste_event(row.start);
    begin_step();
    row.edits();
    commit_step();
    ASSERT_EQ(expression, row.after) << row.start;
    ASSERT_TRUE(undo_event());
    EXPECT_EQ(expression, row.start) << row.after;
    ASSERT_TRUE(redo_event());
    EXPECT_EQ(expression, row.after) << row.start;
  }
}

TEST(Undo, ModesAndRandRoundTrip) {
  reset_session();
  std::srand(7);
  key_event(key::second);
  key_event(key::angle);
  key_event(key::rand);
  const Session drawn = snapshot();
  for (int k = 0; k < 4; ++k) {  // the fourth finds nothing to undo and refreshes nothing
    const RefreshLog before = refresh_log;
    ASSERT_TRUE(undo_event());
    EXPECT_EQ(refresh_log.display - before.display, k < 3 ? 1 : 0) << k;
  }
  EXPECT_TRUE(second_mode == false && radian_mode == true && expression == L"0");
  // Each redo refreshes the display, and the key captions only where a mode changed.
  const int label_refreshes[] = {1, 1, 0};
  for (int k = 0; k < 3; ++k) {
    const RefreshLog before = refresh_log;
    ASSERT_TRUE(redo_event());
    EXPECT_EQ(refresh_log.display - before.display, 1) << k;
    EXPECT_EQ(refresh_log.key_labels - before.key_labels, label_refreshes[k]) << k;
  }
  EXPECT_EQ(snapshot(), drawn) << describe(snapshot());
  const RefreshLog before = refresh_log;
  ASSERT_TRUE(redo_event());  // nothing left to redo
  EXPECT_EQ(refresh_log.display, before.display);
}

TEST(History, WalkRefreshesAndEndsWithTheSession) {
  reset_session();
  for (wchar_t c : {L'1', L'\r', L'2', L'\r'}) char_event(c);
  for (const UserEvent& e : {up_key, up_key, down_key, down_key}) {
    const RefreshLog before = refresh_log;
    ASSERT_TRUE(run_user_event(e));
    EXPECT_EQ(refresh_log.display - before.display, 1);
  }
  ASSERT_TRUE(history_up_event());
  reset_session();
  ASSERT_TRUE(history_down_event());  // no walk is left over from before
  EXPECT_EQ(expression, L"0");
  char_event('7');
  ASSERT_TRUE(undo_event());
  reset_session();
  ASSERT_TRUE(redo_event());  // nor a step to redo
  EXPECT_EQ(expression, L"0");
  EXPECT_EQ(redo_count(), 0u);
}

// With a bound of a few entries: once the log is down to its newest step the oldest
// entries go, the newest always stays, the count is the memory the entries hold, and a
// walk whose entry was dropped on the way still comes back down to its draft.
TEST(History, OldestEntriesGoPastTheBound) {
  reset_session();
  const std::size_t saved_bound = history_bound;
  const std::wstring digits(1000, L'1');
  const std::size_t entry = digits.size() * sizeof(wchar_t);
  history_bound = 5 * entry;
  auto text = [&](int n) { return std::to_wstring(n + 1) + L"+" + digits; };
  for (int n = 0; n < 12; ++n) {
    key_event(key::clear);
    paste_event(text(n) + L"\r");
    ASSERT_LE(undo_bytes() + history_bytes(), history_bound) << n;
  }
  ASSERT_GE(history.size(), 2u);
  ASSERT_LT(history.size(), 12u);
  std::size_t held = 0;
  for (std::size_t i = 0; i < history.size(); ++i) {
    EXPECT_EQ(history[i], text(static_cast<int>(12 - history.size() + i))) << i;
    held += sizeof(std::wstring) + history[i].capacity() * sizeof(wchar_t);
  }
  EXPECT_EQ(history_bytes(), held);
  EXPECT_EQ(undo_count(), 1u);  // entries go only once the log is down to its newest step

  // A walk over the long text, "3+3" and "2+2" with the bound lowered before it reaches
  // the long text: that step keeps the long text for redo, which pushes out the long text
  // and "3+3"; Down goes on from the newest entry left, then to the draft.
  history_bound = saved_bound;
  reset_session();
  for (const std::wstring& t : {text(0), std::wstring(L"3+3"), std::wstring(L"2+2")}) {
    key_event(key::clear);
    paste_event(t + L"\r");
  }
  for (int k = 0; k < 2; ++k) ASSERT_TRUE(history_up_event());
  history_bound = entry / 2;
  ASSERT_TRUE(history_up_event());
  EXPECT_EQ(expression, text(0));
  ASSERT_EQ(history.size(), 1u);
  ASSERT_TRUE(history_down_event());
  EXPECT_EQ(expression, L"2+2");
  ASSERT_TRUE(history_down_event());
  EXPECT_EQ(expression, L"4");
  EXPECT_TRUE(result_shown);

  history_bound = entry / 2;  // an entry alone past the bound still stays
  key_event(key::clear);
  paste_event(text(99) + L"\r");
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history.back(), text(99));
  const std::wstring shown = expression;
  ASSERT_TRUE(history_up_event());
  EXPECT_EQ(expression, text(99));
  ASSERT_TRUE(undo_event());  // and the newest step too
  EXPECT_EQ(expression, shown);
  history_bound = saved_bound;
  reset_session();
}

// A model of the log with whole snapshots: k undos give the state from k steps back,
// redo gives back exactly what undo took, and only a change of state makes a step.
TEST(Undo, RandomSessionsMatchAModel) {
  const std::vector<UserEvent> pool = {
      click(key::digit1), click(key::digit7), click(key::plus), click(key::equals), click(key::clear),
      click(key::back), click(key::sign), click(key::second), click(key::angle), click(key::m_plus),
      click(key::mc), click(key::mr), click(key::sin), click(key::point), click(key::square),
      typed('3'), typed('/'), typed(13), typed(8), typed(27), typed('('), pasted(L"2*(1\r"),
      undo_key, undo_key, redo_key, up_key, up_key, down_key};
  std::mt19937 generator(99);
  std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
  for (int session = 0; session < 20; ++session) {
    reset_session();
    std::vector<Session> done{snapshot()};  // the state after each step, oldest first
    std::vector<Session> undone;
    for (int n = 0; n < 500; ++n) {
      const UserEvent& e = pool[pick(generator)];
      Session before = snapshot();
      ASSERT_TRUE(run_user_event(e));
      Session after = snapshot();
      if (e.kind == UserEvent::undo) {
        if (done.size() > 1) {
          undone.push_back(done.back());
          done.pop_back();
        }
        ASSERT_EQ(after.expression, done.back().expression) << n;
      } else if (e.kind == UserEvent::redo) {
        if (!undone.empty()) {
          done.push_back(undone.back());
          undone.pop_back();
        }
        ASSERT_EQ(after.expression, done.back().expression) << n;
      } else if (after.expression != before.expression || after.result_shown != before.result_shown ||
                 after.second_mode != before.second_mode || after.radian_mode != before.radian_mode ||
                 std::memcmp(&after.memory, &before.memory, sizeof after.memory) != 0) {
        done.push_back(after);
        undone.clear();
      }
      const Session& model = done.back();
      after.history = model.history;  // history is not undone
      ASSERT_EQ(after.undo_count, done.size() - 1) << n;
      ASSERT_EQ(after.redo_count, undone.size()) << n;
      after.undo_count = model.undo_count;
      after.redo_count = model.redo_count;
      after.log_bytes = model.log_bytes;
      after.history_size = model.history_size;
      ASSERT_EQ(after, model) << n << " " << describe(after) << " vs " << describe(model);
    }
  }
}

// What a step keeps, on a text of a million characters.
TEST(Undo, StepCostFollowsTheChangeNotTheText) {
  reset_session();
  char_event('5');
  const std::size_t plain_step = undo_bytes();
  key_event(key::m_plus);  // a memory step counts its pair on top of the record
  EXPECT_GE(undo_bytes() - plain_step, plain_step + 2 * sizeof(double));
  reset_session();
  const std::wstring long_text(1000000, L'7');
  paste_event(long_text);
  struct Cost {
    UserEvent event;
    std::size_t most_chars;   // characters the step may keep
    std::size_t least_bytes;  // what it must count: the record, the text it keeps, memory
  };
  const Cost costs[] = {{typed('5'), 1, 1}, {typed(8), 1, 1}, {click(key::sign), 1, 1}, {click(key::sign), 1, 1},
                        {click(key::plus), 1, 1}, {click(key::cube), 2, 1}, {pasted(L"12"), 2, 1},
                        {pasted(L"3\b\b\b"), 6, 1},
                        {typed(13), 1000010, 1000000 * sizeof(wchar_t)}};
  for (const Cost& c : costs) {
    const std::size_t before = undo_bytes();
    ASSERT_TRUE(run_user_event(c.event));
    EXPECT_LE(undo_bytes() - before, 64 + c.most_chars * sizeof(wchar_t) + c.least_bytes) << c.event.value;
    EXPECT_GE(undo_bytes() - before, c.least_bytes) << c.event.value;
  }
}

// A step that brings the log and the history exactly to the bound drops nothing; one
// byte less and the oldest step goes.
TEST(Undo, TheBoundItselfStillFits) {
  const std::size_t saved_bound = history_bound;
  for (std::size_t less : {0, 1}) {
    reset_session();
    for (wchar_t c : {L'1', L'2', L'3'}) char_event(c);
    char_event('4');
    const std::size_t log = undo_bytes();  // undo counts again only at the next step
    ASSERT_TRUE(undo_event());
    history_bound = log + history_bytes() - less;
    char_event('4');
    EXPECT_EQ(undo_count(), less ? 3u : 4u) << less;
    history_bound = saved_bound;
  }
  reset_session();
}

// Each round keeps steps of a million characters and a history entry as long: the
// oldest go, several stay, and what stays still undoes exactly, memory included.
TEST(Undo, LogAndHistoryStayWithinTheBound) {
  reset_session();
  const std::wstring long_text(1000000, L'1');
  const std::size_t text_bytes = long_text.size() * sizeof(wchar_t);
  for (int n = 0; n < 20; ++n) {
    key_event(key::clear);
    char_event('5');
    key_event(key::m_plus);  // memory 5 (n + 1)
    paste_event(long_text);
    paste_event(L"+1\r");
    ASSERT_LE(undo_bytes() + history_bytes(), history_bound + 2 * text_bytes + 1024) << n;
    if (n >= 2) {
      ASSERT_GE(undo_count(), 6u) << n;
    }
  }
  EXPECT_LT(undo_count(), 100u);
  ASSERT_TRUE(undo_event());  // "+1" and Enter
  EXPECT_TRUE(expression == L"5" + long_text);
  ASSERT_TRUE(undo_event());  // the long paste
  ASSERT_TRUE(undo_event());  // "m+"
  EXPECT_EQ(expression, L"5");
  EXPECT_EQ(memory, 95.0);
  ASSERT_TRUE(undo_event());  // "5"
  ASSERT_TRUE(undo_event());  // "AC"
  ASSERT_TRUE(undo_event());  // the round before: "+1" and Enter
  ASSERT_TRUE(undo_event());
  ASSERT_TRUE(undo_event());
  EXPECT_EQ(memory, 90.0);
  reset_session();
  EXPECT_EQ(undo_bytes() + history_bytes(), 0u);
}

}  // namespace
