// Documents, views, frames and templates: opening, closing, layout and the
// routing of commands.
#include <gtest/gtest.h>

#include <vector>

#include "platform/framework/doc_template.h"
#include "platform/framework/document.h"
#include "platform/framework/frame_wnd.h"
#include "platform/framework/win_app.h"
#include "tests/platform/user/window_test_support.h"

namespace {

std::vector<CString>* g_routeLog = nullptr;  // where the test classes below note who saw a command

void Note(const char* who, UINT id) {
  if (g_routeLog) g_routeLog->push_back(CString(who) + ":" + CString(std::to_string(id)));
}

class CTestDoc : public CDocument {
  DECLARE_DYNCREATE(CTestDoc)
 public:
  BOOL OnOpenDocument(const CString& path) override {
    ++deleteCount;
    return path.Find("bad") < 0 ? TRUE : FALSE;
  }
  void DeleteContents() override { ++deleteCount; }
  int deleteCount = 0;

 protected:
  BOOL HandleCommand(UINT id, int, void*) override {
    Note("doc", id);
    return id == 3 ? TRUE : FALSE;
  }
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

class CTestView : public CView {
  DECLARE_DYNCREATE(CTestView)
 public:
  void OnInitialUpdate() override {
    ++initialUpdates;
    CView::OnInitialUpdate();
  }
  int initialUpdates = 0;

 protected:
  BOOL HandleCommand(UINT id, int, void*) override {
    Note("view", id);
    return id == 1 ? TRUE : FALSE;
  }
};
IMPLEMENT_DYNCREATE(CTestView, CView)

class CTestFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CTestFrame)
 protected:
  BOOL HandleCommand(UINT id, int, void*) override {
    Note("frame", id);
    return id == 2 ? TRUE : FALSE;
  }
};
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)

class CTestApp : public CWinApp {
 public:
  explicit CTestApp(const IClock& clock) : CWinApp("Player", clock) {}
  CString LoadResourceString(UINT id) const override {
    if (id == 3) return "\nPresentation\nTest Presentation\nTest Files (*.tvn)\n.tvn\nTest.Presentation\nTest";
    if (id == 6) return "Presentation Window\n";
    return CString();
  }

 protected:
  BOOL HandleCommand(UINT id, int, void*) override {
    Note("app", id);
    return id == 4 ? TRUE : FALSE;
  }
};

class DocViewTest : public ::testing::Test {
 protected:
  DocViewTest() {
    EnsureQtApplication();
    app = std::make_unique<CTestApp>(clock);
    auto courses = std::make_unique<CMultiDocTemplate>(3, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                                       RUNTIME_CLASS(CTestView));
    courses->LoadTemplate();
    courseTemplate = courses.get();
    app->AddDocTemplate(std::move(courses));
    auto presentation = std::make_unique<CSingleDocTemplate>(6, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                                             RUNTIME_CLASS(CTestView));
    presentationTemplate = presentation.get();
    app->AddDocTemplate(std::move(presentation));
    g_routeLog = &route;
  }
  ~DocViewTest() override { g_routeLog = nullptr; }
  static CTestView* ViewOf(CDocument* doc) { return static_cast<CTestView*>(doc->Views().at(0)); }
  void Pump() {
    MSG msg;
    while (app->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) app->DispatchMessage(msg);
  }

  CManualClock clock;
  std::unique_ptr<CTestApp> app;
  CMultiDocTemplate* courseTemplate = nullptr;
  CSingleDocTemplate* presentationTemplate = nullptr;
  std::vector<CString> route;
};

}  // namespace

TEST_F(DocViewTest, ManyCourseDocumentsEachWithFrameViewAndTitle) {
  CString a = "C:\\COURSES\\INTRO.TVN", b = "/data/second.tvn";
  CDocument* first = courseTemplate->OpenDocumentFile(&a, FALSE);
  CDocument* second = app->OpenDocumentFile(b);  // chosen by the ".tvn" extension
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(courseTemplate->Documents().size(), 2u);
  EXPECT_EQ(first->GetTitle(), "INTRO.TVN");
  EXPECT_EQ(first->GetPathName(), a);
  EXPECT_EQ(second->GetTitle(), "second.tvn");
  CTestView* view = ViewOf(first);
  EXPECT_EQ(view->GetDocument(), first);
  EXPECT_EQ(view->initialUpdates, 1);
  CFrameWnd* frame = view->GetParentFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetActiveView(), view);
  EXPECT_EQ(frame->GetActiveDocument(), first);
  EXPECT_FALSE(frame->IsWindowVisible());
  EXPECT_TRUE(ViewOf(second)->GetParentFrame()->IsWindowVisible());
  EXPECT_EQ(frame->GetWindowText(), "INTRO.TVN - Player");

  // Closing the frame closes its document, which leaves the template.
  HWND frameHandle = frame->m_hWnd;
  frame->PostMessage(WM_CLOSE);
  Pump();
  EXPECT_FALSE(IsWindow(frameHandle));
  EXPECT_EQ(courseTemplate->Documents().size(), 1u);
  EXPECT_FALSE(courseTemplate->HasDocument(first));
  EXPECT_TRUE(courseTemplate->HasDocument(second));
}

TEST_F(DocViewTest, DocumentThatDoesNotOpenLeavesNothingBehind) {
  CString bad = "bad.tvn";
  EXPECT_EQ(courseTemplate->OpenDocumentFile(&bad, TRUE), nullptr);
  EXPECT_TRUE(courseTemplate->Documents().empty());
  EXPECT_EQ(CWnd::GetActiveWindow(), nullptr);
  // The single template keeps its one document, emptied, for the next try.
  CDocument* doc = presentationTemplate->OpenDocumentFile(nullptr, FALSE);
  EXPECT_EQ(presentationTemplate->OpenDocumentFile(&bad, FALSE), nullptr);
  EXPECT_TRUE(presentationTemplate->HasDocument(doc));
}

TEST_F(DocViewTest, PresentationTemplateKeepsOneDocumentAndFrame) {
  CDocument* doc = presentationTemplate->OpenDocumentFile(nullptr, FALSE);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->GetTitle(), "Untitled");
  CFrameWnd* frame = ViewOf(doc)->GetParentFrame();
  EXPECT_EQ(frame->GetWindowText(), "Untitled - Presentation Window");
  EXPECT_EQ(frame->GetHelpId(), 6u);
  CString path = "/x/next.mcl";
  EXPECT_EQ(presentationTemplate->OpenDocumentFile(&path, TRUE), doc);
  EXPECT_EQ(presentationTemplate->Documents().size(), 1u);
  EXPECT_EQ(ViewOf(doc)->GetParentFrame(), frame);
  EXPECT_EQ(doc->GetTitle(), "next.mcl");
  EXPECT_TRUE(frame->IsWindowVisible());
  EXPECT_EQ(ViewOf(doc)->initialUpdates, 2);
}

TEST_F(DocViewTest, CommandsGoToTheViewThenDocumentThenFrameThenApplication) {
  CDocument* doc = presentationTemplate->OpenDocumentFile(nullptr, FALSE);
  CFrameWnd* frame = ViewOf(doc)->GetParentFrame();
  for (UINT id : {1u, 2u, 3u, 4u, 5u}) frame->PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(id), 0), 0);
  Pump();
  EXPECT_EQ(route, (std::vector<CString>{"view:1",                                  //
                                         "view:2", "doc:2", "frame:2",              //
                                         "view:3", "doc:3",                         //
                                         "view:4", "doc:4", "frame:4", "app:4",     //
                                         "view:5", "doc:5", "frame:5", "app:5"}));
}

TEST_F(DocViewTest, TheViewFillsTheFrameClientArea) {
  CDocument* doc = presentationTemplate->OpenDocumentFile(nullptr, TRUE);
  CTestView* view = ViewOf(doc);
  CFrameWnd* frame = view->GetParentFrame();
  frame->MoveWindow(10, 10, 640, 480);
  CRect client, viewRect;
  frame->GetClientRect(&client);
  view->GetClientRect(&viewRect);
  EXPECT_EQ(viewRect, client);
  EXPECT_EQ(viewRect.Width(), 640);
}

TEST_F(DocViewTest, ClosingTheMainWindowClosesDocumentsAndEndsTheLoop) {
  auto* main = new CTestFrame;  // deletes itself with its window
  ASSERT_TRUE(main->LoadFrame(2, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
  app->m_pMainWnd = main;
  CString a = "one.tvn";
  ASSERT_NE(courseTemplate->OpenDocumentFile(&a, FALSE), nullptr);
  main->PostMessage(WM_CLOSE);
  EXPECT_EQ(app->Run(), 0);
  EXPECT_EQ(app->m_pMainWnd, nullptr);
  EXPECT_TRUE(courseTemplate->Documents().empty());
}

TEST(CommandLine, SwitchesAndTheFirstPlainArgument) {
  auto info = CWinApp::ParseCommandLine({"-Embedding", "COURSE.MCL", "other.mcl"});
  EXPECT_TRUE(info.m_bRunEmbedded);
  EXPECT_FALSE(info.m_bRunAutomated);
  EXPECT_EQ(info.m_strFileName, "COURSE.MCL");
  EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
  auto none = CWinApp::ParseCommandLine({"/automation"});
  EXPECT_TRUE(none.m_bRunAutomated);
  EXPECT_EQ(none.m_nShellCommand, CCommandLineInfo::FileNew);
  EXPECT_TRUE(none.m_strFileName.IsEmpty());
}

TEST(CommandLine, PrintToTakesTheFileThenPrinterDriverAndPort) {
  using S = CCommandLineInfo::Shell;
  struct Row {
    std::vector<CString> args;
    S shell;
    const char *file, *printer, *driver, *port;
  };
  const Row rows[] = {
      {{"/pt", "C:\\COURSE.TVN", "Office Laser", "winspool", "LPT1:"},
       S::FilePrintTo, "C:\\COURSE.TVN", "Office Laser", "winspool", "LPT1:"},
      {{"-PT", "/media/cd/a.tvn", "\\\\server\\laser"}, S::FilePrintTo, "/media/cd/a.tvn", "\\\\server\\laser", "", ""},
      // The switch may follow the file; arguments past the port are ignored.
      {{"a.tvn", "/pt", "p", "d", "o", "extra"}, S::FilePrintTo, "a.tvn", "p", "d", "o"},
      // Without the switch later plain arguments name nothing.
      {{"a.tvn", "p", "d"}, S::FileOpen, "a.tvn", "", "", ""},
  };
  int row = 0;
  for (const Row& r : rows) {
    const CCommandLineInfo info = CWinApp::ParseCommandLine(r.args);
    EXPECT_EQ(info.m_nShellCommand, r.shell) << "row " << row;
    EXPECT_EQ(info.m_strFileName, r.file) << "row " << row;
    EXPECT_EQ(info.m_strPrinterName, r.printer) << "row " << row;
    EXPECT_EQ(info.m_strDriverName, r.driver) << "row " << row;
    EXPECT_EQ(info.m_strPortName, r.port) << "row " << row;
    ++row;
  }
}

TEST_F(DocViewTest, WithoutAMainWindowTheLoopEndsAtOnce) {
  EXPECT_EQ(app->Run(), 0);
}
