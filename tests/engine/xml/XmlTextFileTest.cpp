#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/xml/XmlText.h"
#include "platform/file/FileLayer.h"
#include "platform/xml/XmlDocument.h"
#include "tests/support/TestEnvironment.h"

namespace {

using Tree = std::unique_ptr<ElementNode>;

const char kSite[] =
    "<?xml version=\"1.0\"?>\r\n <site name=\"a\">\r\n  <page/>\r\n  <note>hi</note>\r\n"
    " </site>\r\n";

class XmlTextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTestFolder("xml");
        ASSERT_TRUE(WriteFileBytes(folder_ + "/site.xml", kSite));
        ASSERT_TRUE(WriteFileBytes(folder_ + "/broken.xml", "<site><page></site>"));
        ASSERT_TRUE(WriteFileBytes(folder_ + "/empty.xml", ""));
    }
    std::string Path(const char* name) const { return folder_ + "/" + name; }

    std::string folder_;
};

}  // namespace

TEST_F(XmlTextFileTest, LoadXmlFileReadsTheTree) {
    Tree site(LoadXmlFile(Path("site.xml")));
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(BuildXmlText(site.get(), true, " "), kSite);

    // System paths go through the file layer's mapping.
    CreateDirectory("c:");  // either may exist from an earlier run in this process
    CreateDirectory("c:\\xmltest");
    ASSERT_TRUE(WriteFileBytes("c:\\xmltest\\site.xml", kSite));
    Tree mapped(LoadXmlFile("c:\\xmltest\\site.xml"));
    ASSERT_NE(mapped, nullptr);
    EXPECT_EQ(mapped->GetName(), "site");
}

TEST_F(XmlTextFileTest, UnreadableOrMalformedFilesGiveNull) {
    const std::string cases[] = {Path("missing.xml"), Path("broken.xml"), Path("empty.xml"),
                                 folder_, ""};
    for (const std::string& path : cases) {
        EXPECT_EQ(LoadXmlFile(path), nullptr) << path;
        ElementNode parent("holder", "");
        EXPECT_EQ(LoadXmlFileInto(path, &parent), nullptr) << path;
        EXPECT_EQ(parent.GetChildren().GetCount(), 0) << path;
    }
}

TEST_F(XmlTextFileTest, LoadXmlFileShowsNoMessageWhenTheDocumentCannotBeCreated) {
    // A box would fail the test: no test expects one here.
    SetXmlDocumentCreationHook([] { return false; });
    EXPECT_EQ(LoadXmlFile(Path("site.xml")), nullptr);
    ElementNode parent("holder", "");
    EXPECT_EQ(LoadXmlFileInto(Path("site.xml"), &parent), nullptr);
    SetXmlDocumentCreationHook({});
}

TEST_F(XmlTextFileTest, LoadXmlFileIntoAddsTheDocumentElementUnderParent) {
    ElementNode parent("holder", "");
    ElementNode* added = LoadXmlFileInto(Path("site.xml"), &parent);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetParent(), &parent);
    EXPECT_EQ(parent.GetChildren().GetAt(0), added);
    EXPECT_EQ(WriteXmlText(added, " "), std::string(kSite).substr(23));
}
