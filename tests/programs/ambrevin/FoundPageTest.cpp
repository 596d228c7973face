#include "programs/ambrevin/FoundPage.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/ui/FileDialogs.h"

namespace {

TEST(FoundPage, AnEmptyListGivesTheOpeningAlone) {
    EXPECT_EQ(FoundPageText({}), "<html><body>\n");
}

TEST(FoundPage, EachPictureIsOneEscapedImgElement) {
    EXPECT_EQ(FoundPageText({"http://h/a.jpg", "http://h/b.gif"}),
              "<html><body>\n"
              "<img src='http://h/a.jpg' alt='http://h/a.jpg'>\n&nbsp;&nbsp;"
              "<img src='http://h/b.gif' alt='http://h/b.gif'>\n&nbsp;&nbsp;");
    // An address that could close the attribute or open markup stays an address: its
    // quotes and brackets are percent-encoded, as a browser sends them anyway.
    EXPECT_EQ(FoundPageText({"http://h/x.jpg?a=1&b='><script>\""}),
              "<html><body>\n"
              "<img src='http://h/x.jpg?a=1&amp;b=%27%3E%3Cscript%3E%22' "
              "alt='http://h/x.jpg?a=1&amp;b=%27%3E%3Cscript%3E%22'>\n&nbsp;&nbsp;");
}

TEST(FoundPage, SavingTheListAppendsToAnExistingFile) {
    const std::string path = "c:\\ambrevin-list\\found.txt";
    CreateDirectory("c:\\");
    CreateDirectory("c:\\ambrevin-list");
    ASSERT_TRUE(FolderExists("c:\\ambrevin-list"));
    ASSERT_TRUE(WriteFileBytes(path, "earlier"));
    ASSERT_TRUE(AppendListFile(path, {"http://h/a.jpg", "http://h/b.jpg"}));
    ASSERT_TRUE(AppendListFile(path, {"http://h/a.jpg"}));
    std::string contents;
    ASSERT_TRUE(ReadFileBytes(path, &contents));
    EXPECT_EQ(contents, "earlierhttp://h/a.jpg\r\nhttp://h/b.jpg\r\nhttp://h/a.jpg\r\n");

    EXPECT_FALSE(AppendListFile("c:\\no-such-folder-here\\x.txt", {"a"}));
    EXPECT_FALSE(AppendListFile("c:\\ambrevin-list", {"a"}));  // a folder
}

// Answers the file dialogs from a script and records what they were asked.
class ScriptedFileDialogs final : public DialogService {
public:
    ScriptedFileDialogs() { SetDialogService(this); }
    ~ScriptedFileDialogs() override { SetDialogService(nullptr); }
    std::string BrowseForFolder(const FolderDialogRecord&) override { return {}; }
    std::string ChooseFile(const FileDialogRecord& dialog) override {
        asked.push_back(dialog);
        if (answers.empty())
            return {};
        std::string answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    std::vector<std::string> answers;
    std::vector<FileDialogRecord> asked;
};

TEST(FileSaveChooser, BothSavesShareTheRememberedFolderAndGetTheirExtension) {
    ScriptedFileDialogs dialogs;
    dialogs.answers = {"c:\\out\\page", "c:\\out\\list.TXT", "", "c:\\else\\p.htm.bak"};
    FileSaveChooser chooser;

    EXPECT_EQ(chooser.Choose(kFoundPageFilter, "htm", ""), "c:\\out\\page.htm");
    EXPECT_EQ(chooser.Choose(kListFileFilter, "txt", ""), "c:\\out\\list.TXT");
    EXPECT_EQ(chooser.Choose(kFoundPageFilter, "htm", ""), "");  // cancelled
    EXPECT_EQ(chooser.Folder(), "c:\\out");
    EXPECT_EQ(chooser.Choose(kFoundPageFilter, "htm", ""), "c:\\else\\p.htm.bak");

    ASSERT_EQ(dialogs.asked.size(), 4u);
    const std::string folders[] = {"", "c:\\out", "c:\\out", "c:\\out"};
    const std::string filters[] = {kFoundPageFilter, kListFileFilter, kFoundPageFilter,
                                   kFoundPageFilter};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(dialogs.asked[i].initialFolder, folders[i]) << i;
        EXPECT_EQ(dialogs.asked[i].filter, filters[i]) << i;
        EXPECT_TRUE(dialogs.asked[i].save) << i;
        EXPECT_EQ(dialogs.asked[i].flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT) << i;
    }
    EXPECT_EQ(chooser.Folder(), "c:\\else");
}

TEST(FileSaveChooser, TheFolderIsCutAtTheLastSeparatorOfEitherKind) {
    // The screen's chooser answers system paths; the finder's own are "c:\..." paths.
    struct Case {
        const char* chosen;
        const char* folder;
    };
    const Case cases[] = {
        {"/home/someone/out/page.htm", "/home/someone/out"},
        {"c:\\out\\page.htm", "c:\\out"},
        {"c:\\out\\sub/page.htm", "c:\\out\\sub"},
        {"/home/a\\b/c\\page.htm", "/home/a\\b/c"},
    };
    for (const Case& c : cases) {
        ScriptedFileDialogs dialogs;
        dialogs.answers = {c.chosen, ""};
        FileSaveChooser chooser;
        EXPECT_EQ(chooser.Choose(kFoundPageFilter, "htm", ""), c.chosen);
        EXPECT_EQ(chooser.Folder(), c.folder) << c.chosen;
        chooser.Choose(kListFileFilter, "txt", "");  // the next save opens there
        ASSERT_EQ(dialogs.asked.size(), 2u);
        EXPECT_EQ(dialogs.asked[1].initialFolder, c.folder) << c.chosen;
    }
}

}  // namespace
