#include "engine/util/FileDialogHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/util/StringArrays.h"
#include "platform/ui/FileDialogs.h"

using namespace std::string_literals;

namespace {

// Answers every dialog with a scripted text and keeps what it was asked.
class ScriptedDialogs : public DialogService {
public:
    explicit ScriptedDialogs(std::string answer) : answer_(std::move(answer)) {
        SetDialogService(this);
    }
    ~ScriptedDialogs() override { SetDialogService(nullptr); }

    std::string BrowseForFolder(const FolderDialogRecord& dialog) override {
        folders.push_back(dialog);
        return answer_;
    }
    std::string ChooseFile(const FileDialogRecord& dialog) override {
        files.push_back(dialog);
        return answer_;
    }

    std::vector<FolderDialogRecord> folders;
    std::vector<FileDialogRecord> files;

private:
    std::string answer_;
};

HWND const owner = reinterpret_cast<HWND>(0x1234);

}  // namespace

TEST(FileDialogHelpersTest, BrowseForFolderAsksWithTitleFlagsAndStart) {
    ScriptedDialogs dialogs("c:\\chosen\\store");
    EXPECT_EQ(BrowseForFolder(owner, "c:\\browser\\storage"), "c:\\chosen\\store");
    ASSERT_EQ(dialogs.folders.size(), 1u);
    EXPECT_EQ(dialogs.folders[0].owner, owner);
    EXPECT_EQ(dialogs.folders[0].title, "Select a folder");
    EXPECT_EQ(dialogs.folders[0].flags, 0x50u);
    EXPECT_EQ(dialogs.folders[0].initialFolder, "c:\\browser\\storage");
}

TEST(FileDialogHelpersTest, ChooseFileAsksForOpenOrSave) {
    ScriptedDialogs dialogs("c:\\out\\found.htm");
    const std::string filter = "Pages (*.htm)|*.htm|All Files (*.*)|*.*||";
    EXPECT_EQ(ChooseFile(filter, false, true, "c:\\out"), "c:\\out\\found.htm");
    EXPECT_EQ(ChooseFile(filter, true, false, ""), "c:\\out\\found.htm");
    ASSERT_EQ(dialogs.files.size(), 2u);
    EXPECT_EQ(dialogs.files[0].filter, filter);
    EXPECT_EQ(dialogs.files[0].flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    EXPECT_TRUE(dialogs.files[0].save);
    EXPECT_EQ(dialogs.files[0].initialFolder, "c:\\out");
    EXPECT_EQ(dialogs.files[1].flags,
              OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT);
    EXPECT_FALSE(dialogs.files[1].save);
    EXPECT_EQ(dialogs.files[1].initialFolder, "");
}

TEST(FileDialogHelpersTest, MultiSelectAnswerKeepsItsNuls) {
    const std::string answer = "c:\\lists\0a.txt\0b.txt\0\0"s;
    ScriptedDialogs dialogs(answer);
    const std::string chosen = ChooseFile("", true, false, "");
    EXPECT_EQ(chosen, answer);
    StringArray names;
    SplitText(chosen, names, 6);
    EXPECT_EQ(names, (StringArray{"c:\\lists", "a.txt", "b.txt"}));
    EXPECT_EQ(ChooseFile("", false, false, ""), "c:\\lists") << "one file: one path";
}

TEST(FileDialogHelpersTest, WithoutDisplayDialogsAreCancelled) {
    EXPECT_EQ(BrowseForFolder(nullptr, "c:\\x"), "");
    EXPECT_EQ(ChooseFile("", true, true, ""), "");
}
