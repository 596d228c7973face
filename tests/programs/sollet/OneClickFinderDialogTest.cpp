#include "programs/sollet/OneClickFinderDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/file/FileLayer.h"
#include "platform/gdi/GdiIcons.h"
#include "platform/registry/Registry.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Menus.h"
#include "platform/ui/UserInput.h"
#include "programs/brisquel/LaunchSteps.h"
#include "tests/programs/sollet/SolletFixture.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RawSocketServer.h"

namespace {

// A small site: the start page links to two pages (one of them twice, in two cases), a
// picture, a PDF, a file that is no page and a page that never finishes; its images
// repeat in another case. Page a links back to the start page.
void ServeSite(LocalSiteServer& server) {
    server.SetBody("/",
                   "<html><body><a href='a.htm'>a</a> <a href='A.HTM'>A</a> "
                   "<a href='b.htm'>b</a> <a href='pic.png'>picture</a> "
                   "<a href='report'>report</a> <a href='doc.pdf'>doc</a> "
                   "<a href='slow'>slow</a> <a href='mailto:x@y.test'>mail</a>"
                   "<img src='img/one.jpg'><img src='IMG/ONE.JPG'></body></html>");
    server.SetBody("/a.htm",
                   "<html><body><a href='b.htm'>b</a><a href='/'>home</a>"
                   "<img src='img/two.gif'><img src='img/one.jpg'></body></html>");
    server.SetBody("/b.htm", "<html><body><a href='a.htm'>a</a><img src='img/three.png'>");
    server.SetBody("/report", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n", "application/pdf");
    LocalSiteResponse never;
    never.body = std::string(4096, 'x');
    never.stallAfterHead = true;
    server.SetResponse("/slow", never);
}

}  // namespace

TEST_F(SolletTest, StartedWithoutAnAddressRunsTheLaunchStepsAndShowsTheHint) {
    Start("");
    EXPECT_EQ(Text(IDC_URL), "- put website URL here... press 'go' -");
    EXPECT_EQ(GetWindowText(dialog->m_hWnd), "Sollet - - put website URL here... press 'go' -");
    EXPECT_FALSE(dialog->Searching());
    EXPECT_EQ(Text(IDC_LOADER_COUNT), "1");
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_GO)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_STOP)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_SHOW_LOADERS)));
    // The window's big and small icon is the program's icon.
    const HICON icon = LoadIcon(ThisModule(), 128);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(SendMessage(dialog->m_hWnd, WM_GETICON, ICON_BIG, 0),
              reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(SendMessage(dialog->m_hWnd, WM_GETICON, ICON_SMALL, 0),
              reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(SendMessage(dialog->m_hWnd, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(icon));

    // The launch steps: the setting, the probe page and the question for its program.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kLauncherKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    std::string data;
    EXPECT_EQ(RegQueryValueBytes(key, "show", &type, &data), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(data, "true") << "4 bytes, no NUL";
    std::string probe = "x";
    EXPECT_TRUE(ReadFileBytes("c:\\_test.html", &probe));
    EXPECT_EQ(probe, "");
    EXPECT_EQ(shell.asked, std::vector<std::string>{"text/html"});
    EXPECT_TRUE(shell.starts.empty()) << "no program opens pages here: nothing starts";

    // The system menu's About item opens the maker's site.
    HMENU menu = GetSystemMenu(dialog->m_hWnd, FALSE);
    ASSERT_NE(menu, nullptr);
    const int items = GetMenuItemCount(menu);
    ASSERT_GE(items, 2);
    EXPECT_EQ(GetMenuItemID(menu, items - 1), IDM_ABOUTBOX);
    char text[64] = {};
    GetMenuString(menu, static_cast<UINT>(items - 1), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Sollet");
    SendMessage(dialog->m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    ASSERT_EQ(shell.starts.size(), 1u);
    EXPECT_EQ(shell.starts[0].program, "xdg-open");
    EXPECT_EQ(shell.starts[0].arguments, StringArray{kMakerSite});
}

TEST_F(SolletTest, ASiteSearchEndsWhenTheQueueIsEmptyAndEveryLoaderIsIdle) {
    LocalSiteServer server;
    ServeSite(server);
    for (const char* loaders : {"1", "3"}) {
        SCOPED_TRACE(std::string("loaders: ") + loaders);
        if (!dialog) {
            Start(server.Url("/"));
        } else {
            SetDlgItemText(dialog->m_hWnd, IDC_LOADER_COUNT, loaders);
            ASSERT_TRUE(UserInput::ClickButton(Item(IDC_GO)));
        }
        EXPECT_TRUE(dialog->Searching());
        EXPECT_EQ(GetWindowText(dialog->m_hWnd), "Sollet - " + server.Url("/"));
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_GO)));
        EXPECT_TRUE(IsWindowEnabled(Item(IDC_STOP)));
        // The start page, a, b, the PDF, the page that never completes and the start
        // page again (linked from a): six pages, each once.
        ASSERT_TRUE(WaitForSearchEnd(6)) << "pages visited: " << dialog->PagesVisited();
        Pump();
        EXPECT_EQ(dialog->PagesVisited(), 6u);
        EXPECT_EQ(dialog->Loaders().size(), std::string(loaders) == "1" ? 1u : 3u);
        // With several loaders the pages report in the order they end: compare as sets.
        auto sorted = [](StringArray items) {
            std::sort(items.begin(), items.end());
            return items;
        };
        EXPECT_EQ(sorted(dialog->SeenLinks()),
                  sorted({server.Url("/a.htm"), server.Url("/b.htm"), server.Url("/report"),
                          server.Url("/slow"), server.Url("/")}));
        EXPECT_EQ(sorted(dialog->FoundImages()),
                  sorted({server.Url("/img/one.jpg"), server.Url("/pic.png"),
                          server.Url("/img/two.gif"), server.Url("/img/three.png")}));
        EXPECT_TRUE(dialog->Queue().empty());
        EXPECT_EQ(Text(IDC_IMAGES_FOUND), "4");
        EXPECT_EQ(Text(IDC_PAGES_VISITED), "6");
        EXPECT_TRUE(IsWindowEnabled(Item(IDC_GO)));
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_STOP)));
    }
    // The loaders fetch pages only: no picture, no file that is no page.
    EXPECT_TRUE(server.RequestsFor("/img/one.jpg").empty());
    EXPECT_TRUE(server.RequestsFor("/pic.png").empty());
    EXPECT_TRUE(server.RequestsFor("/doc.pdf").empty());
}

TEST_F(SolletTest, ADeadServerAndABadAddressEndTheSearchAtOnce) {
    RawSocketServer silent(RawSocketServer::Mode::NeverAccept);
    for (const std::string& address : {silent.Url("/"), std::string("not an address")}) {
        SCOPED_TRACE(address);
        Start(address);
        ASSERT_TRUE(WaitForSearchEnd(1));
        EXPECT_EQ(dialog->PagesVisited(), 1u);
        EXPECT_TRUE(dialog->FoundImages().empty());
        dialog->DestroyWindow();
    }
}

TEST_F(SolletTest, TheLoadersGuardCountsFromTheLoadNotFromTheProbe) {
    // Every answer of the site takes 1.5 s, the probe's and the page's alike: the two
    // together pass the guard of 2.5 s, the page alone does not.
    TimingRecord slowSite = ShortLoaderTiming();
    slowSite.reachabilityProbeTimeoutMs = 5000;
    slowSite.oneClickLoaderGuardMs = 2500;
    ScopedTiming longerGuard(slowSite);
    LocalSiteServer server;
    server.SetBody("/", "<html><body><img src='pic.jpg'></body></html>");
    server.SetDelay("/", std::chrono::milliseconds(1500));
    Start(server.Url("/"));
    ASSERT_TRUE(WaitForSearchEnd(1));
    EXPECT_EQ(server.RequestsFor("/").size(), 2u) << "the probe, then the load";
    EXPECT_EQ(dialog->FoundImages(), StringArray{server.Url("/pic.jpg")})
        << "the page loaded within its own guard time";
    EXPECT_EQ(Text(IDC_IMAGES_FOUND), "1");
}

TEST_F(SolletTest, AFramedPageIsOnePageVisited) {
    LocalSiteServer server;
    server.SetBody("/",
                   "<html><frameset cols='50%,50%'><frame src='left.htm'>"
                   "<frame src='right.htm'></frameset></html>");
    server.SetBody("/left.htm", "<html><body><img src='l.jpg'></body></html>");
    server.SetBody("/right.htm", "<html><body><img src='r.jpg'></body></html>");
    Start(server.Url("/"));
    ASSERT_TRUE(WaitForSearchEnd(1));
    Pump();
    EXPECT_EQ(dialog->PagesVisited(), 1u) << "one load, one idle report";
}

TEST_F(SolletTest, TheHiddenListIsEmptiedByClearAndByGo) {
    Start("");
    const HWND list = Item(IDC_LIST);
    ASSERT_NE(list, nullptr) << "list view 1009";
    EXPECT_EQ(GetClassName(list), "SysListView32");
    EXPECT_FALSE(IsWindowVisible(list));
    auto addRow = [&] {
        std::string text = "row";
        LVITEM row;
        row.mask = LVIF_TEXT;
        row.iItem = ListView_GetItemCount(list);
        row.pszText = text.data();
        return ListView_InsertItem(list, &row) >= 0;
    };
    ASSERT_TRUE(addRow());
    ASSERT_TRUE(addRow());
    // "clear" is hidden: its command comes as the button would send it.
    SendMessage(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CLEAR, BN_CLICKED),
                reinterpret_cast<LPARAM>(Item(IDC_CLEAR)));
    EXPECT_EQ(ListView_GetItemCount(list), 0);
    EXPECT_EQ(Text(IDC_IMAGES_FOUND), "0");
    ASSERT_TRUE(addRow());
    SetDlgItemText(dialog->m_hWnd, IDC_LOADER_COUNT, "0");
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_GO)));
    EXPECT_EQ(ListView_GetItemCount(list), 0) << "go starts with a clear";
}

TEST_F(SolletTest, ReportsOfLoadersThatAreNotCurrentAreIgnored) {
    Start("");
    SetDlgItemText(dialog->m_hWnd, IDC_LOADER_COUNT, "0");
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_GO)));
    ASSERT_TRUE(dialog->Searching()) << "no loader: the search runs until stop";
    PageLoaderDialog stranger;
    PostMessage(dialog->m_hWnd, WM_LOADER_IDLE, reinterpret_cast<WPARAM>(&stranger),
                static_cast<LPARAM>(stranger.Serial()));
    PostMessage(dialog->m_hWnd, WM_LOADER_IDLE, 0, 0);
    PostOwnedMessage(dialog->m_hWnd, WM_IMAGES_FOUND,
                     std::make_unique<StringArray>(StringArray{"http://old.test/x.jpg"}),
                     static_cast<LPARAM>(stranger.Serial()));
    PostOwnedMessage(dialog->m_hWnd, WM_LINKS_FOUND,
                     std::make_unique<StringArray>(StringArray{"http://old.test/"}), 0);
    Pump();
    EXPECT_EQ(dialog->PagesVisited(), 0u);
    EXPECT_TRUE(dialog->FoundImages().empty());
    EXPECT_TRUE(dialog->SeenLinks().empty());
    EXPECT_TRUE(dialog->Searching());
}

TEST_F(SolletTest, TheLoaderAnswersTheDownloadControlQuestion) {
    PageLoaderDialog loader;
    VARIANT answer;
    EXPECT_TRUE(loader.OnAmbientProperty(IDC_BROWSER, DISPID_AMBIENT_DLCONTROL, &answer));
    EXPECT_EQ(answer.vt, VT_I4);
    EXPECT_EQ(static_cast<DWORD>(answer.intVal), 0x40008F80u);
    EXPECT_FALSE(loader.OnAmbientProperty(IDC_BROWSER, -5513, &answer));
}

TEST_F(SolletTest, ClosingWhileSearchingAsksFirst) {
    Start("");
    SetDlgItemText(dialog->m_hWnd, IDC_LOADER_COUNT, "0");
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_GO)));
    {
        ExpectedMessageBoxes boxes;
        boxes.Expect("Do you wish to close Sollet?", IDNO);
        EXPECT_TRUE(UserInput::PressEscape(dialog->m_hWnd));
        EXPECT_TRUE(IsWindowVisible(dialog->m_hWnd));
        EXPECT_EQ(boxes.Shown()[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        boxes.Expect("Do you wish to close Sollet?", IDYES);
        EXPECT_TRUE(UserInput::CloseWindow(dialog->m_hWnd));
        EXPECT_EQ(dialog->GetEndCode(), IDCANCEL);
    }
    // Idle, Esc closes at once (the message box check fails on any box).
    Start("");
    EXPECT_TRUE(UserInput::PressEscape(dialog->m_hWnd));
    EXPECT_EQ(dialog->GetEndCode(), IDCANCEL);
}
