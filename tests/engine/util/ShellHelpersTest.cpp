#include "engine/util/ShellHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/shell/Shell.h"
#include "tests/support/RecordingShell.h"
#include "tests/support/TestEnvironment.h"

using namespace std::string_literals;

namespace {

// Records every start instead of starting anything; Opened reads the one xdg-open.
class OpeningShell : public RecordingShell {
public:
    // The one target opened with xdg-open.
    std::string Opened() const {
        EXPECT_EQ(starts.size(), 1u);
        if (starts.size() != 1)
            return {};
        EXPECT_EQ(starts[0].program, "xdg-open");
        EXPECT_EQ(starts[0].arguments.size(), 1u);
        return starts[0].arguments.empty() ? std::string() : starts[0].arguments[0];
    }
};

}  // namespace

TEST(ShellHelpersTest, ExploreFolderOpensTheMappedFolder) {
    OpeningShell shell;
    EXPECT_TRUE(ExploreFolder("c:\\store\\my site"));
    EXPECT_EQ(shell.Opened(), BaseDataFolder() + "/c/store/my site");
}

TEST(ShellHelpersTest, ExploreFolderNeverPassesAnOption) {
    OpeningShell shell;
    EXPECT_TRUE(ExploreFolder("--help"));
    EXPECT_EQ(shell.Opened(), "./--help");
    shell.starts.clear();
    EXPECT_FALSE(ExploreFolder(""));
    EXPECT_TRUE(shell.starts.empty());
}

TEST(ShellHelpersTest, OpenUrlInBrowserOpensTheUrlAsItStands) {
    OpeningShell shell;
    const std::string url = "http://example.test/a b?x=1&y=\"2\";rm -rf";
    EXPECT_TRUE(OpenUrlInBrowser(url));
    EXPECT_EQ(shell.Opened(), url) << "one argument, no shell in between";
    shell.starts.clear();
    for (const std::string& refused : {""s, "--manual"s, "http://a\0b"s}) {
        EXPECT_FALSE(OpenUrlInBrowser(refused)) << refused;
    }
    EXPECT_TRUE(shell.starts.empty());
}

TEST(ShellHelpersTest, SendMailToEncodesSubjectAndBody) {
    const struct {
        const char* to;
        std::string subject;
        std::string body;
        const char* url;
    } cases[] = {
        {"a@b.test", "Hello", "World42", "mailto:a@b.test?subject=Hello&body=World42"},
        {"", "Check out Brisquel", "Try it & see: 100% free?",
         "mailto:?subject=Check%20out%20Brisquel&body=Try%20it%20%26%20see%3A%20100%25%20free%3F"},
        {"x@y.test", "a=b#c+d", "line1\nline2\r\nline3\rend",
         "mailto:x@y.test?subject=a%3Db%23c%2Bd&body=line1%0D%0Aline2%0D%0Aline3%0D%0Aend"},
        {"x@y.test", "caf\xC3\xA9", "-._~/", "mailto:x@y.test?subject=caf%C3%A9&body=-._~%2F"},
    };
    for (const auto& c : cases) {
        OpeningShell shell;
        EXPECT_TRUE(SendMailTo(c.to, c.subject, c.body));
        EXPECT_EQ(shell.Opened(), c.url);
    }
}

TEST(ShellHelpersTest, SendHtmlMailToPrefixesTheDocumentType) {
    OpeningShell shell;
    EXPECT_TRUE(SendHtmlMailTo("a@b.test", "Hi", "<b>x</b>"));
    EXPECT_EQ(shell.Opened(),
              "mailto:a@b.test?subject=Hi&body=%3C%21DOCTYPE%20HTML%20PUBLIC%22-%2F%2FIETF%2F%2F"
              "DTD%20HTML%2F%2FEN%22%3E%3Cb%3Ex%3C%2Fb%3E");
}

TEST(ShellHelpersTest, InternetShortcutFile) {
    const std::string folder = MakeTestFolder("shortcuts");
    EXPECT_EQ(CreateInternetShortcut("http://example.test/page.htm", folder + "/no/page.url",
                                     "c:\\icons\\site.ico", 3),
              E_FAIL)
        << "the folder is missing";
    EXPECT_EQ(CreateInternetShortcut("http://example.test/page.htm", folder + "/page.url",
                                     "c:\\icons\\site.ico", 3),
              S_OK);
    std::string text;
    ASSERT_TRUE(ReadFileBytes(folder + "/page.url", &text));
    EXPECT_EQ(text,
              "[InternetShortcut]\r\nURL=http://example.test/page.htm\r\n"
              "IconFile=c:\\icons\\site.ico\r\nIconIndex=3\r\n");

    const std::string bad = folder + "/bad.url";
    EXPECT_EQ(CreateInternetShortcut("http://x.test/\r\nIconFile=evil", bad, "", 0), E_FAIL);
    EXPECT_EQ(CreateInternetShortcut("http://x.test/", bad, "a\nb", 0), E_FAIL);
    EXPECT_EQ(CreateInternetShortcut("http://x.test/\0x"s, bad, "", 0), E_FAIL);
    EXPECT_FALSE(FileIsReadable(bad));
}
