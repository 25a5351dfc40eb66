#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TestComObject;

// Keeps every COM object of the test WIA service until the test ends, so a
// surplus Release is counted instead of touching freed memory, and objects
// still referenced when the test ends are named.
class TestComTracker
{
  public:
    static TestComTracker &instance();

    void add(TestComObject *object);
    void countOverRelease(const TestComObject *object);
    // Kinds of the objects still referenced, e.g. "item IMG_0001".
    std::vector<std::string> stillReferenced() const;
    int overReleases() const { return m_overReleases; }
    std::vector<std::string> overReleased() const { return m_overReleased; }
    // Deletes every object.
    void clear();

  private:
    std::vector<TestComObject *> m_objects;
    int m_overReleases = 0;
    std::vector<std::string> m_overReleased;
};

// Reference count of a test COM object; finalRelease() runs once when the
// count reaches 0 (the object itself stays until the tracker is cleared).
class TestComObject
{
  public:
    TestComObject(const TestComObject &) = delete;
    TestComObject &operator=(const TestComObject &) = delete;
    virtual ~TestComObject() = default;

    LONG references() const { return m_references; }
    const std::string &label() const { return m_label; }

  protected:
    explicit TestComObject(std::string label);
    ULONG addReference();
    ULONG releaseReference();
    // Drops what the object holds once nobody holds it.
    virtual void finalRelease() {}

  private:
    LONG m_references = 1;
    std::string m_label;
};

// QueryInterface of a test COM class with one interface besides IUnknown:
// the object itself with one more reference, or E_NOINTERFACE and null.
template <typename Interface> HRESULT queryOneInterface(Interface *self, REFIID own, REFIID asked, void **out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(asked, IID_IUnknown) || IsEqualIID(asked, own)) {
        *out = self;
        self->AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

// The IUnknown counting part of a test COM class.
#define TEST_COM_REFERENCES                                                                                  \
    ULONG STDMETHODCALLTYPE AddRef() override                                                                \
    {                                                                                                        \
        return addReference();                                                                               \
    }                                                                                                        \
    ULONG STDMETHODCALLTYPE Release() override                                                               \
    {                                                                                                        \
        return releaseReference();                                                                           \
    }
