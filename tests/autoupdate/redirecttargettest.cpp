#include "redirecttarget.h"

#include <gtest/gtest.h>

namespace
{

struct RedirectCase {
    const char *reply;
    bool found;
    const char *server;
    const char *path;
    const char *host;
    uint16_t port;
};

const RedirectCase kCases[] = {
    {"http://upload.example/crm/in.php", true, "upload.example", "/crm/in.php", "upload.example", 80},
    {"http://127.0.0.1:8123/upload/7", true, "127.0.0.1:8123", "/upload/7", "127.0.0.1", 8123},
    // A "/" among the first eight characters is not the split.
    {"https://host/p", true, "/host", "/p", "/host", 80},
    {"http://host", false, "", "", "", 0},
    {"", false, "", "", "", 0},
    {"http://h:99999/x", true, "h:99999", "/x", "h", 0},
    {"http://h:/x", true, "h:", "/x", "h", 0},
    {"http://h:8x/x", true, "h:8x", "/x", "h", 0},
};

TEST(RedirectTarget, ServerAndPathFromTheReply)
{
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.reply);
        const RedirectTarget target = RedirectTarget::parse(c.reply);
        EXPECT_EQ(c.found, target.found());
        EXPECT_EQ(c.server, target.server());
        EXPECT_EQ(c.path, target.path());
        EXPECT_EQ(c.host, target.host());
        EXPECT_EQ(c.port, target.port());
    }
}

} // namespace
