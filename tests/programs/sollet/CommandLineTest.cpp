#include "programs/sollet/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(CommandLineTest, TheSwitchInAnyCaseMakesTheLastAddressAfterItTheStartUrl) {
    struct Case {
        StringArray arguments;
        std::string url;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{"-httpvrl", "http://a.test/x.htm"}, "http://a.test/x.htm"},
        {{"/HTTPVRL", "http://a.test/"}, "http://a.test/"},
        {{"-HttpVrl", "http://a.test/"}, "http://a.test/"},
        {{"http://before.test/", "-httpvrl"}, ""},
        {{"http://before.test/", "/httpvrl", "http://after.test/"}, "http://after.test/"},
        {{"-httpvrl", "http://a.test/", "http://b.test/"}, "http://b.test/"},
        {{"-httpvrl", "-other", "http://a.test/"}, "http://a.test/"},
        {{"-other", "http://a.test/"}, ""},
        {{"-httpvrlx", "http://a.test/"}, ""},
        {{"httpvrl", "http://a.test/"}, ""},
        {{"-httpvrl", "http://a.test/a b.htm"}, "http://a.test/a b.htm"},
        {{"-httpvrl"}, ""},
        {{"-", "/", "-httpvrl", ""}, ""},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& argument : c.arguments)
            shown += "[" + argument + "]";
        EXPECT_EQ(ReadStartUrl(c.arguments), c.url) << shown;
    }
}
