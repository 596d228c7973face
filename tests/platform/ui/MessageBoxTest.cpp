#include "platform/ui/MessageBox.h"

#include <gtest/gtest.h>

TEST(MessageBoxTest, DefaultAnswerIsTheDefaultButton) {
    struct Case {
        UINT type;
        int answer;
    } cases[] = {
        {MB_OK | MB_ICONINFORMATION, IDOK},      {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL}, {MB_YESNO | MB_ICONQUESTION, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultMessageBoxAnswer(c.type), c.answer) << c.type;
}

TEST(MessageBoxTest, WithoutDisplayBoxesAreRecordedAndAnswered) {
    ClearRecordedMessageBoxes();
    EXPECT_EQ(MessageBox(nullptr, "htmlLink::load - something bad happend", "", MB_OK), IDOK);
    const auto boxes = RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "htmlLink::load - something bad happend");
    ClearRecordedMessageBoxes();
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST(MessageBoxTest, InstalledServiceAnswers) {
    struct Scripted : MessageBoxService {
        int Show(const MessageBoxRecord& box) override {
            last = box.text;
            return IDNO;
        }
        std::string last;
    } scripted;
    SetMessageBoxService(&scripted);
    EXPECT_EQ(MessageBox(nullptr, "Overwrite?", "Save", MB_YESNO), IDNO);
    SetMessageBoxService(nullptr);
    EXPECT_EQ(scripted.last, "Overwrite?");
}
