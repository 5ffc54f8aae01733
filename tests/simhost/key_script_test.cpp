#include "simhost/key_script.h"

#include <gtest/gtest.h>

namespace bc::sim {
namespace {

TEST(KeyScript, PressesAreHeldFromTheirTimeForTheirHold) {
    std::vector<KeyPress> presses;
    std::string error;
    ASSERT_TRUE(parseKeyScript("1@2s,3@5s,2@2500ms+3s", presses, error)) << error;
    ASSERT_EQ(presses.size(), 3u);
    EXPECT_EQ(keysHeldAt(presses, 1999), 0);
    EXPECT_EQ(keysHeldAt(presses, 2000), 0x01);
    EXPECT_EQ(keysHeldAt(presses, 2600), 0x03);
    EXPECT_EQ(keysHeldAt(presses, 3000), 0x02);  // key 1's default second is over
    EXPECT_EQ(keysHeldAt(presses, 5200), 0x06);  // key 2 held to 5.5 s, key 3 from 5 s
    EXPECT_EQ(keysHeldAt(presses, 6000), 0x00);
}

TEST(KeyScript, MalformedPressesAreRefusedWithTheirText) {
    for (const char* bad : {"9@1s", "1@", "1@-2s", "1@2h", "12@1s", "1@1s+x", "1s"}) {
        std::vector<KeyPress> presses;
        std::string error;
        EXPECT_FALSE(parseKeyScript(bad, presses, error)) << bad;
        EXPECT_NE(error.find(bad), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace bc::sim
