// Class factory and module count of DB_QD, reached through DllGetClassObject.
#include "dbqdserver.h"

TEST(ClassFactory, ForeignClassIsRefusedWithNullOut)
{
    DbqdServer server;
    ASSERT_TRUE(server.isLoaded());
    void *out = reinterpret_cast<void *>(0x1234);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, server.getClassObject(IID_IMediaDb, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(S_OK, server.canUnloadNow());
}
