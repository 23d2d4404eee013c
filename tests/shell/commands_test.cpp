// What the reader does with commands, keys, taps and scroll bars: stepping
// through the sides in a ring, paging either pane, choosing the active pane,
// Reverse, and the Bookmark command with its question.
#include <string>
#include <vector>

#include "reader_fixture.h"

namespace {

// ScrollArticle's clamping: never above the first line, never further down
// once at the last full page, and back to it from past the end.
int Scrolled(const ArticleView* v, int delta) {
  int current = v->topLine, next = current + delta;
  if (next < 0) return 0;
  if (next >= current && current >= v->maxTopLine) return current;
  if (next > v->totalLines) return v->maxTopLine;
  return next;
}

// Makes a pane the active one without moving it: a scroll-bar action that
// steps by nothing.
void Activate(ArticleView* view) {
  HWND bar = view == CommentaryView ? CommentaryScrollBar : MainScrollBar;
  SendMessageW(MainWindow, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(bar));
}

// Puts both panes at these lines and paints them there.
void Place(int mainLine, int lowerLine) {
  MainView->topLine = static_cast<WORD>(mainLine);
  CommentaryView->topLine = static_cast<WORD>(lowerLine);
  RepaintPanes(MainWindow, 0x1FF);
}

const int kMaxLine = -1;  // a start at the view's maxTopLine

// Puts one pane at a start line and the other at a line of its own, both
// painted there; returns the first.
ArticleView* PlaceOne(bool lower, int start, int other) {
  ArticleView* view = lower ? CommentaryView : MainView;
  if (start == kMaxLine) start = view->maxTopLine;
  Place(lower ? other : start, lower ? start : other);
  return view;
}

// What a step expects of the panes after an action: where each view went, and
// that exactly the panes that moved were painted anew.
struct Panes {
  int main = 0, lower = 0;
  uint64_t mainPicture = 0, lowerPicture = 0;

  static Panes Now() {
    return {MainView->topLine, CommentaryView->topLine, Reader::Digest(Reader::ViewRect(MainView)),
            Reader::Digest(Reader::ViewRect(CommentaryView))};
  }
  void ExpectMoved(const Panes& before) const {
    Panes now = Now();
    EXPECT_EQ(now.main, main) << "upper pane";
    EXPECT_EQ(now.lower, lower) << "lower pane";
    EXPECT_EQ(now.mainPicture != before.mainPicture, main != before.main) << "upper pane painted";
    EXPECT_EQ(now.lowerPicture != before.lowerPicture, lower != before.lower) << "lower pane painted";
    EXPECT_EQ(Reader::BarInfo(MainScrollBar).nPos, now.main);
    EXPECT_EQ(Reader::BarInfo(CommentaryScrollBar).nPos, now.lower);
    EXPECT_EQ(Reader::BarInfo(MainScrollBar).nMax, MainView->maxTopLine);
    EXPECT_EQ(Reader::BarInfo(CommentaryScrollBar).nMax, CommentaryView->maxTopLine);
  }
};

void ExpectActive(ArticleView* view) {
  EXPECT_EQ(ActiveView, view);
  EXPECT_EQ(ActiveScrollBar, view == CommentaryView ? CommentaryScrollBar : MainScrollBar);
}

}  // namespace

// Next and Previous, from the menu and from the arrow keys, walk the sides in
// a ring; a switch loads the pair afresh at their first lines.
TEST_F(Reader, SidesStepInARing) {
  struct Row {
    WORD lesson;
    const char* how;
    Step act;
    WORD side;
  } rows[] = {
      {219, "Next Article", [] { TestCommand(IDM_NEXT_ARTICLE); }, 1},
      {1, "Previous Article", [] { TestCommand(IDM_PREVIOUS_ARTICLE); }, 219},
      {220, "Next Article", [] { TestCommand(IDM_NEXT_ARTICLE); }, 1},
      {220, "Previous Article", [] { TestCommand(IDM_PREVIOUS_ARTICLE); }, 218},
      {7, "right arrow", [] { TestKey("VK_RIGHT"); }, 9},
      {7, "left arrow", [] { TestKey("VK_LEFT"); }, 5},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.how << " from " << r.lesson);
    PutSetting(u"Lesson", r.lesson);
    // An even side has no commentary after it: the start says so.
    bool missing = r.lesson % 2 == 0;
    Panes before;
    std::vector<Step> steps;
    if (missing) {
      steps.push_back([] {
        ASSERT_EQ(TestMessageBoxes().size(), 1u);
        EXPECT_EQ(TestMessageBoxes()[0].text, u"Resource not found");
        TestKey("RETURN");
      });
    }
    steps.push_back([&] {
      EXPECT_EQ(CurrentArticle, r.lesson);
      EXPECT_TRUE(Shows(MainView, r.lesson));
      Place(5, 5);
      Activate(CommentaryView);
      before = Panes::Now();
      r.act();
    });
    steps.push_back([&] {
      EXPECT_EQ(CurrentArticle, r.side);
      EXPECT_TRUE(Shows(MainView, r.side));
      EXPECT_TRUE(Shows(CommentaryView, r.side + 1));
      EXPECT_EQ(LastPosition, 0);
      Panes{0, 0}.ExpectMoved(before);
      ExpectActive(CommentaryView);
      EXPECT_EQ(TestMessageBoxes().size(), missing ? 1u : 0u);
    });
    EXPECT_EQ(Run(steps), 0);
    EXPECT_EQ(StoredNumber(u"Lesson"), r.side);
  }
}

// The paging keys move the active pane (the upper one until another is
// chosen) by a page less one line, or by half a page when the key field of
// Flags is 2 or 4; End and Home go to the last full page and the first line.
TEST_F(Reader, KeysPageTheActivePane) {
  enum Move { kPageDown, kPageUp, kLineDown, kLineUp, kToEnd, kToStart };
  struct Key {
    const char* name;
    Move move;
    int start;
  } keys[] = {
      {"VK_NEXT", kPageDown, 0},  {"VK_NEXT", kPageDown, kMaxLine}, {"VK_PRIOR", kPageUp, 10},
      {"VK_PRIOR", kPageUp, 2},   {"VK_DOWN", kLineDown, 3},         {"VK_DOWN", kLineDown, kMaxLine},
      {"VK_UP", kLineUp, 3},      {"VK_UP", kLineUp, 0},             {"VK_END", kToEnd, 0},
      {"VK_END", kToEnd, 10},     {"VK_HOME", kToStart, 10},         {"VK_HOME", kToStart, 0},
  };
  struct Setting {
    DWORD flags;
    bool half;
  } settings[] = {{0xD1140040, false}, {0xD1240040, true}, {0xD1440040, true}, {0xD1340040, false},
                  {0xD2140040, false}};
  for (const Setting& s : settings) {
    SCOPED_TRACE(testing::Message() << std::hex << s.flags);
    PutSetting(u"Flags", s.flags);
    Panes before, want;
    std::vector<Step> steps;
    for (bool lower : {false, true}) {
      for (const Key& k : keys) {
        steps.push_back([&, lower] {
          if (lower) Activate(CommentaryView);
          ArticleView* view = PlaceOne(lower, k.start, 4);
          int page = s.half ? view->pageLines / 2 : view->pageLines - 1;
          ASSERT_GT(page, 0);
          int delta = 0;
          switch (k.move) {
            case kPageDown: delta = page; break;
            case kPageUp: delta = -page; break;
            case kLineDown: delta = 1; break;
            case kLineUp: delta = -1; break;
            case kToEnd: delta = view->maxTopLine != 0 ? view->maxTopLine : page; break;
            case kToStart: delta = view->topLine != 0 ? -view->topLine : -page; break;
          }
          before = Panes::Now();
          want = before;
          (lower ? want.lower : want.main) = Scrolled(view, delta);
          ASSERT_TRUE(TestKey(k.name));
        });
        steps.push_back([&, lower] {
          SCOPED_TRACE(testing::Message() << k.name << " from " << k.start << (lower ? ", lower pane" : ""));
          want.ExpectMoved(before);
          if (lower) ExpectActive(CommentaryView);
          else EXPECT_EQ(ActiveView, nullptr) << "no pane was chosen yet";
        });
      }
    }
    EXPECT_EQ(Run(steps), 0);
  }
}

// A tap inside a pane makes it active and pages it: back in its upper (or
// left) half, forward from its middle line down. The pane reaches out by the
// gutter left, right and above; a tap between the panes hits neither.
TEST_F(Reader, TapsPageThePaneTheyHit) {
  enum Hit { kMain, kLower, kNeither };
  struct Tap {
    int x, y;
    Hit hit;
    int pages;  // -1 back, 0 none, 1 forward
  };
  struct Setting {
    DWORD flags;
    int gutter;
    bool half;
    std::vector<Tap> taps;
  } settings[] = {
      // Upper pane 0,26 227x132 (middle row 92), lower pane 0,161 227x133 (middle row 227).
      {0xD1140040, 0, false,
       {{100, 40, kMain, -1},
        {100, 91, kMain, -1},
        {100, 92, kMain, 1},
        {100, 158, kMain, 1},
        {100, 159, kNeither, 0},
        {100, 160, kNeither, 0},
        {100, 161, kLower, -1},
        {100, 226, kLower, -1},
        {100, 227, kLower, 1},
        {100, 293, kLower, 1},
        {0, 100, kMain, 1},
        {226, 30, kMain, -1}}},
      // Tap paging off: a tap only chooses the pane.
      {0x51140040, 0, false, {{100, 200, kLower, 0}, {100, 50, kMain, 0}, {100, 159, kNeither, 0}}},
      // By left and right halves: the middle column is 113.
      {0x81140040, 0, false,
       {{50, 150, kMain, -1}, {112, 40, kMain, -1}, {113, 40, kMain, 1}, {200, 250, kLower, 1},
        {10, 170, kLower, -1}}},
      {0xD2140040, 0, true, {{100, 150, kMain, 1}, {100, 200, kLower, -1}}},
      {0xD4140040, 0, true, {{100, 40, kMain, -1}}},
      {0xD1240040, 0, false, {{100, 150, kMain, 1}}},
      // Gutter 4: upper pane 4,30 219x128 (middle row 94), lower 4,163 219x129 (middle row 227).
      {0xD1140040, 4, false,
       {{1, 26, kMain, -1},
        {226, 158, kMain, 1},
        {2, 159, kLower, -1},
        {100, 292, kLower, 1},
        {100, 293, kNeither, 0}}},
  };
  UseCommandBar(true);
  for (const Setting& s : settings) {
    SCOPED_TRACE(testing::Message() << std::hex << s.flags << std::dec << ", gutter " << s.gutter);
    PutSetting(u"Flags", s.flags);
    PutSwitch(u"SurroundingGutter", static_cast<DWORD>(s.gutter));
    Panes before, want;
    std::vector<Step> steps;
    for (const Tap& t : s.taps) {
      steps.push_back([&] {
        Place(10, 10);
        // The other pane active, so that the choice shows.
        Activate(t.hit == kMain ? CommentaryView : MainView);
        before = Panes::Now();
        want = before;
        ArticleView* view = t.hit == kMain ? MainView : CommentaryView;
        int page = s.half ? view->pageLines / 2 : view->pageLines - 1;
        if (t.hit != kNeither) (t.hit == kMain ? want.main : want.lower) = Scrolled(view, t.pages * page);
        TapAt(t.x, t.y);
      });
      steps.push_back([&] {
        SCOPED_TRACE(testing::Message() << "tap at " << t.x << "," << t.y);
        want.ExpectMoved(before);
        ExpectActive(t.hit == kLower ? CommentaryView : MainView);
      });
    }
    EXPECT_EQ(Run(steps), 0);
  }
}

// WM_VSCROLL from either bar makes its pane active and moves it by the code;
// the page fields of Flags do not apply here.
TEST_F(Reader, ScrollBarCodesMoveTheirPane) {
  enum Kind { kBy, kPageUp, kPageDown, kTo, kToTop };
  struct Code {
    int code, position, start;
    Kind kind;
    int amount;
  } codes[] = {
      {SB_LINEUP, 0, 5, kBy, -1},       {SB_LINEUP, 0, 0, kBy, -1},         {SB_LINEDOWN, 0, 5, kBy, 1},
      {SB_PAGEUP, 0, 20, kPageUp, 0},   {SB_PAGEDOWN, 0, 5, kPageDown, 0},  {SB_PAGEDOWN, 0, kMaxLine, kPageDown, 0},
      {SB_THUMBPOSITION, 9, 5, kTo, 9}, {SB_THUMBTRACK, 2, 5, kTo, 2},      {SB_THUMBPOSITION, 1000, 5, kTo, 1000},
      {SB_THUMBTRACK, -3, 5, kTo, -3},  {SB_TOP, 0, 5, kToTop, 0},          {SB_BOTTOM, 0, 5, kBy, 1},
      {SB_ENDSCROLL, 0, 5, kBy, 0},     {99, 0, 5, kBy, 0},
  };
  PutSetting(u"Flags", 0xD2240040);
  Panes before, want;
  std::vector<Step> steps;
  for (bool lower : {false, true}) {
    for (const Code& c : codes) {
      steps.push_back([&, lower] {
        Activate(lower ? MainView : CommentaryView);
        ArticleView* view = PlaceOne(lower, c.start, 3);
        int delta = c.amount;
        if (c.kind == kPageUp) delta = 1 - view->pageLines;
        if (c.kind == kPageDown) delta = view->pageLines - 1;
        if (c.kind == kTo) delta = c.amount - view->topLine;
        if (c.kind == kToTop) delta = -view->topLine;
        before = Panes::Now();
        want = before;
        (lower ? want.lower : want.main) = Scrolled(view, delta);
        HWND bar = lower ? CommentaryScrollBar : MainScrollBar;
        EXPECT_EQ(SendMessageW(MainWindow, WM_VSCROLL, MAKEWPARAM(c.code, static_cast<WORD>(c.position)),
                               reinterpret_cast<LPARAM>(bar)),
                  1);
      });
      steps.push_back([&, lower] {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " position " << c.position << " from " << c.start
                                        << (lower ? ", lower bar" : ", upper bar"));
        want.ExpectMoved(before);
        ExpectActive(lower ? CommentaryView : MainView);
      });
    }
  }
  EXPECT_EQ(Run(steps), 0);
}

// The scroll bars follow the panes only while either bit of 0xC0 is set in
// Flags; without them they keep the state they were made with.
TEST_F(Reader, ScrollBarsFollowThePanesOnlyWhenFlagsSaySo) {
  struct Row {
    DWORD flags;
    bool follow;
  } rows[] = {{0xD1140040, true}, {0xD1140080, true}, {0xD11400C0, true}, {0xD1140000, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << r.flags);
    PutSetting(u"Flags", r.flags);
    SCROLLINFO made[2] = {};
    int code = Run({
        [&] {
          made[0] = BarInfo(MainScrollBar);
          made[1] = BarInfo(CommentaryScrollBar);
          EXPECT_EQ(made[0].nMax == MainView->maxTopLine, r.follow);
          TestKey("VK_NEXT");
          TapAt(100, 250);
        },
        [&] {
          EXPECT_GT(MainView->topLine, 0);
          EXPECT_GT(CommentaryView->topLine, 0);
          SCROLLINFO now[2] = {BarInfo(MainScrollBar), BarInfo(CommentaryScrollBar)};
          for (int i = 0; i < 2; ++i) {
            ArticleView* view = i == 0 ? MainView : CommentaryView;
            SCOPED_TRACE(i == 0 ? "upper bar" : "lower bar");
            if (r.follow) {
              EXPECT_EQ(now[i].nPos, view->topLine);
              EXPECT_EQ(now[i].nMax, view->maxTopLine);
            } else {
              EXPECT_EQ(now[i].nPos, made[i].nPos);
              EXPECT_EQ(now[i].nMax, made[i].nMax);
            }
          }
        },
    });
    EXPECT_EQ(code, 0);
  }
}

// The pen drags a thumb: the pane follows it line for line, to the end when
// the pen goes past the bar.
TEST_F(Reader, DraggingAThumbMovesItsPane) {
  UseCommandBar(true);
  struct Message {
    HWND bar;
    int code, position;
  };
  std::vector<Message> seen;
  Watch([&](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == MainWindow && window != nullptr && message == WM_VSCROLL)
      seen.push_back({reinterpret_cast<HWND>(lParam), LOWORD(wParam), static_cast<short>(HIWORD(wParam))});
  });
  struct Drag {
    bool lower;
    int to;  // rows below the thumb's first place; 0: to the foot of the screen
  } drags[] = {{false, 40}, {true, 50}, {false, 0}, {true, 0}};
  std::vector<Step> steps;
  for (const Drag& d : drags) {
    steps.push_back([&] {
      Place(0, 0);
      Activate(d.lower ? MainView : CommentaryView);
      seen.clear();
      // With the pane at its first line the thumb, a square, sits right under the up arrow.
      RECT bar{};
      GetWindowRect(d.lower ? CommentaryScrollBar : MainScrollBar, &bar);
      int x = (bar.left + bar.right) / 2, width = bar.right - bar.left, y = bar.top + width + width / 2;
      int to = d.to != 0 ? d.to : TestScreenHeight() - 1 - y;
      TestInjectInput({InputEvent::kPress, x, y, 0, 0});
      for (int step = 1; step <= 4; ++step) TestInjectInput({InputEvent::kMove, x, y + to * step / 4, 0, 0});
      TestInjectInput({InputEvent::kRelease, x, y + to, 0, 0});
    });
    steps.push_back([&] {
      SCOPED_TRACE(testing::Message() << (d.lower ? "lower" : "upper") << " bar, " << d.to << " rows");
      ArticleView* view = d.lower ? CommentaryView : MainView;
      HWND bar = d.lower ? CommentaryScrollBar : MainScrollBar;
      ASSERT_GE(seen.size(), 3u);
      for (const Message& s : seen) EXPECT_EQ(s.bar, bar);
      for (size_t i = 0; i + 2 < seen.size(); ++i) EXPECT_EQ(seen[i].code, SB_THUMBTRACK);
      const Message& dropped = seen[seen.size() - 2];
      EXPECT_EQ(dropped.code, SB_THUMBPOSITION);
      EXPECT_EQ(seen.back().code, SB_ENDSCROLL);
      EXPECT_EQ(seen[seen.size() - 3].position, dropped.position);
      EXPECT_EQ(view->topLine, dropped.position);
      if (d.to == 0) {
        EXPECT_EQ(dropped.position, view->maxTopLine);
      } else {
        EXPECT_GT(dropped.position, 0);
        EXPECT_LT(dropped.position, view->maxTopLine);
      }
      EXPECT_EQ(BarInfo(bar).nPos, view->topLine);
      ExpectActive(view);
      EXPECT_EQ((d.lower ? MainView : CommentaryView)->topLine, 0) << "the other pane stays";
    });
  }
  int code = Run(steps);
  EXPECT_EQ(code, 0);
}

// Reverse turns the drawing of both panes round and back: Flags, the mark
// and the pictures come back as they were; a stored Reverse starts marked.
TEST_F(Reader, ReverseTwiceRestoresFlagsMarkAndPicture) {
  struct Pictures {
    uint64_t main = 0, lower = 0;
    bool operator==(const Pictures&) const = default;
  };
  auto now = [] { return Pictures{Digest(ViewRect(MainView)), Digest(ViewRect(CommentaryView))}; };
  auto reversed = [](bool on) {
    EXPECT_EQ(Flags, on ? 0xD1140840u : 0xD1140040u);
    EXPECT_EQ(Checked(IDM_REVERSE), on);
  };
  Pictures plain, turned;
  int code = Run({
      [&] {
        reversed(false);
        plain = now();
        TestCommand(IDM_REVERSE);
      },
      [&] {
        reversed(true);
        turned = now();
        EXPECT_NE(turned.main, plain.main);
        EXPECT_NE(turned.lower, plain.lower);
        TestCommand(IDM_REVERSE);
      },
      [&] {
        reversed(false);
        EXPECT_TRUE(now() == plain);
      },
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(StoredNumber(u"Flags"), 0xD1140040);

  PutSetting(u"Flags", 0xD1140840);
  code = Run({
      [&] {
        reversed(true);
        EXPECT_TRUE(now() == turned);
        TestCommand(IDM_REVERSE);
      },
      [&] { reversed(false); },
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(StoredNumber(u"Flags"), 0xD1140040);
}

// The Bookmark command over three runs: adding and the mark that follows the
// side on screen; the question's answers (No keeps, Yes removes, Cancel
// removes and stops the questions for the run); the list as stored.
TEST_F(Reader, BookmarksTheirQuestionAndTheStoredList) {
  const std::u16string question = u"Remove Bookmark?\n\nCancel - Don't ask again";
  size_t boxes = 0;
  auto command = [](std::vector<UINT> commands, int answer = 0) {
    return [commands, answer] {
      if (answer != 0) TestQueueMessageBoxAnswer(answer);
      for (UINT c : commands) TestCommand(c);
    };
  };
  auto expect = [&](WORD side, std::vector<WORD> list, bool asked) {
    return [&boxes, &question, side, list, asked] {
      EXPECT_EQ(CurrentArticle, side);
      std::vector<WORD> now(BookmarkList, BookmarkList + BookmarkCount);
      EXPECT_EQ(now, list);
      bool marked = false;
      for (WORD w : list) marked |= w == side;
      EXPECT_EQ(Checked(IDM_BOOKMARK), marked);
      ASSERT_EQ(TestMessageBoxes().size(), boxes + (asked ? 1 : 0));
      if (asked) {
        const MessageBoxRecord& box = TestMessageBoxes().back();
        EXPECT_EQ(box.text, question);
        EXPECT_EQ(box.caption, u"Bookmark");
        EXPECT_EQ(box.flags, static_cast<UINT>(MB_YESNOCANCEL));
        EXPECT_EQ(box.owner, MainWindow);
      }
      boxes = TestMessageBoxes().size();
    };
  };
  const UINT next = IDM_NEXT_ARTICLE, previous = IDM_PREVIOUS_ARTICLE, mark = IDM_BOOKMARK;

  // 5 added, 1 added, 5 again kept by No: 5, 1.
  boxes = 0;
  int code = Run({
      expect(1, {}, false),
      command({next, next}),
      expect(5, {}, false),
      command({mark}),
      expect(5, {5}, false),
      command({previous, previous}),
      expect(1, {5}, false),
      command({mark}),
      expect(1, {5, 1}, false),
      command({next, next}),
      expect(5, {5, 1}, false),
      command({mark}, IDNO),
      expect(5, {5, 1}, true),
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(StoredBytes(u"Bookmarks"), (std::vector<uint8_t>{5, 0, 1, 0, 0, 0}));

  // Yes removes; Cancel removes and no more questions are asked this run.
  boxes = 0;
  code = Run({
      expect(5, {5, 1}, false),
      command({mark}, IDYES),
      expect(5, {1}, true),
      command({mark}),
      expect(5, {1, 5}, false),
      command({mark}, IDCANCEL),
      expect(5, {1}, true),
      command({mark, mark}),
      expect(5, {1}, false),
      command({previous, previous, mark}),
      expect(1, {}, false),
      command({mark}),
      expect(1, {1}, false),
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(StoredBytes(u"Bookmarks"), (std::vector<uint8_t>{1, 0, 0, 0}));

  // After a restart the question is back.
  boxes = 0;
  code = Run({
      expect(1, {1}, false),
      command({mark}, IDYES),
      expect(1, {}, true),
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(StoredBytes(u"Bookmarks"), (std::vector<uint8_t>{0, 0}));
}
