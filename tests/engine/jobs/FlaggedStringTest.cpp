#include "engine/jobs/FlaggedString.h"

#include <gtest/gtest.h>

namespace {

TEST(FlaggedStringTest, RaisesItsFlagOnlyWhenTheTextReallyChanges) {
    FlaggedString stage;
    EXPECT_TRUE(stage.IsSet()) << "a new stage counts as entered";
    EXPECT_EQ(stage.GetText(), "");
    stage.Set("GetHtmlPageJob");
    stage.Clear();
    stage.Set("gethtmlpagejob");  // the same stage, in other letters
    EXPECT_FALSE(stage.IsSet());
    EXPECT_EQ(stage.GetText(), "GetHtmlPageJob");
    EXPECT_TRUE(stage.Equals("GETHTMLPAGEJOB"));
    stage.Set("DownloadImagesJob");
    EXPECT_TRUE(stage.IsSet());
    EXPECT_TRUE(stage.Equals("downloadimagesjob"));
    EXPECT_FALSE(stage.Equals("GetHtmlPageJob"));
}

}  // namespace
