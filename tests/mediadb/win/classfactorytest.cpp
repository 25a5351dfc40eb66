// Class factory and module count of DB_QD, reached through DllGetClassObject.
#include "dbqdserver.h"

namespace
{

class ClassFactory : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.isLoaded());
        ASSERT_EQ(S_OK, m_server.getClassObject(CLSID_MediaDb, IID_IClassFactory,
                                                reinterpret_cast<void **>(&m_factory)));
        ASSERT_NE(nullptr, m_factory);
    }
    void TearDown() override
    {
        if (m_factory)
            m_factory->Release();
    }

    DbqdServer m_server;
    IClassFactory *m_factory = nullptr;
};

} // namespace

TEST(ClassObject, ForeignClassIsRefusedWithNullOut)
{
    DbqdServer server;
    ASSERT_TRUE(server.isLoaded());
    const GUID foreign[] = {IID_IMediaDb, IID_IClassFactory, GUID_NULL};
    for (const GUID &classId : foreign) {
        void *out = reinterpret_cast<void *>(0x1234);
        EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, server.getClassObject(classId, IID_IClassFactory, &out));
        EXPECT_EQ(nullptr, out);
    }
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, server.getClassObject(IID_IMediaDb, IID_IClassFactory, nullptr));
    EXPECT_EQ(S_OK, server.canUnloadNow());
}

TEST(ClassObject, OnlyFactoryInterfacesAreHandedOut)
{
    DbqdServer server;
    ASSERT_TRUE(server.isLoaded());
    void *out = reinterpret_cast<void *>(0x1234);
    EXPECT_EQ(E_NOINTERFACE, server.getClassObject(CLSID_MediaDb, IID_IMediaDb, &out));
    EXPECT_EQ(reinterpret_cast<void *>(0x1234), out);
    EXPECT_EQ(E_POINTER, server.getClassObject(CLSID_MediaDb, IID_IClassFactory, nullptr));
    EXPECT_EQ(S_OK, server.canUnloadNow());

    IUnknown *unknown = nullptr;
    ASSERT_EQ(S_OK, server.getClassObject(CLSID_MediaDb, IID_IUnknown, reinterpret_cast<void **>(&unknown)));
    EXPECT_EQ(S_FALSE, server.canUnloadNow());
    EXPECT_EQ(0u, unknown->Release());
    EXPECT_EQ(S_OK, server.canUnloadNow());
}

TEST_F(ClassFactory, IsOneStaticObjectHoldingTheModule)
{
    EXPECT_EQ(1u, refCount(m_factory));
    EXPECT_EQ(S_FALSE, m_server.canUnloadNow());

    IClassFactory *again = nullptr;
    ASSERT_EQ(S_OK,
              m_server.getClassObject(CLSID_MediaDb, IID_IClassFactory, reinterpret_cast<void **>(&again)));
    EXPECT_EQ(m_factory, again);
    EXPECT_EQ(2u, refCount(m_factory));
    EXPECT_EQ(1u, again->Release());

    EXPECT_EQ(0u, m_factory->Release());
    m_factory = nullptr;
    EXPECT_EQ(S_OK, m_server.canUnloadNow());
}

TEST_F(ClassFactory, QueryInterface)
{
    EXPECT_TRUE(answersQueries(m_factory, {{"IUnknown", &IID_IUnknown, S_OK},
                                           {"IClassFactory", &IID_IClassFactory, S_OK},
                                           {"IMediaDb", &IID_IMediaDb, E_NOINTERFACE},
                                           {"IMarshal", &IID_IMarshal, E_NOINTERFACE}}));
    EXPECT_EQ(1u, refCount(m_factory));
}

TEST_F(ClassFactory, LockServerHoldsTheModule)
{
    m_factory->Release();
    m_factory = nullptr;
    ASSERT_EQ(S_OK, m_server.canUnloadNow());

    IClassFactory *factory = nullptr;
    ASSERT_EQ(S_OK,
              m_server.getClassObject(CLSID_MediaDb, IID_IClassFactory, reinterpret_cast<void **>(&factory)));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(0u, factory->Release());
    EXPECT_EQ(S_FALSE, m_server.canUnloadNow());

    ASSERT_EQ(S_OK,
              m_server.getClassObject(CLSID_MediaDb, IID_IClassFactory, reinterpret_cast<void **>(&factory)));
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(0u, factory->Release());
    EXPECT_EQ(S_OK, m_server.canUnloadNow());
}

TEST_F(ClassFactory, CreateInstanceRefusesAggregation)
{
    void *out = reinterpret_cast<void *>(0x1234);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, m_factory->CreateInstance(m_factory, IID_IUnknown, &out));
    EXPECT_EQ(nullptr, out);
}

TEST_F(ClassFactory, CreateInstanceWithNullOutIsRefused)
{
    EXPECT_EQ(E_POINTER, m_factory->CreateInstance(nullptr, IID_IMediaDb, nullptr));
}

TEST_F(ClassFactory, CreateInstanceWithUnknownInterfaceDestroysTheObject)
{
    void *out = reinterpret_cast<void *>(0x1234);
    EXPECT_EQ(E_NOINTERFACE, m_factory->CreateInstance(nullptr, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    m_factory->Release();
    m_factory = nullptr;
    EXPECT_EQ(S_OK, m_server.canUnloadNow()) << "the object did not go away";
}

TEST_F(ClassFactory, CreateInstanceHandsOutEachInterfaceWithOneReference)
{
    struct Case {
        const char *name;
        const GUID *interfaceId;
    };
    const Case cases[] = {
        {"IUnknown", &IID_IUnknown},
        {"IMediaDb", &IID_IMediaDb},
        {"IMediaDb2", &IID_IMediaDb2},
        {"IMediaDb3", &IID_IMediaDb3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        IUnknown *object = nullptr;
        ASSERT_EQ(S_OK,
                  m_factory->CreateInstance(nullptr, *c.interfaceId, reinterpret_cast<void **>(&object)));
        ASSERT_NE(nullptr, object);
        EXPECT_EQ(1u, refCount(object));
        EXPECT_EQ(0u, object->Release());
    }
    m_factory->Release();
    m_factory = nullptr;
    EXPECT_EQ(S_OK, m_server.canUnloadNow());
}
