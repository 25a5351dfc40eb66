#include "testcomobject.h"

TestComTracker &TestComTracker::instance()
{
    static TestComTracker tracker;
    return tracker;
}

void TestComTracker::add(TestComObject *object)
{
    m_objects.push_back(object);
}

void TestComTracker::countOverRelease(const TestComObject *object)
{
    ++m_overReleases;
    m_overReleased.push_back(object->label());
}

std::vector<std::string> TestComTracker::stillReferenced() const
{
    std::vector<std::string> labels;
    for (const TestComObject *object : m_objects) {
        if (object->references() > 0)
            labels.push_back(object->label() + " (" + std::to_string(object->references()) + ")");
    }
    return labels;
}

void TestComTracker::clear()
{
    for (TestComObject *object : m_objects)
        delete object;
    m_objects.clear();
    m_overReleases = 0;
    m_overReleased.clear();
}

TestComObject::TestComObject(std::string label) : m_label(std::move(label))
{
    TestComTracker::instance().add(this);
}

ULONG TestComObject::addReference()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG TestComObject::releaseReference()
{
    if (m_references <= 0) {
        TestComTracker::instance().countOverRelease(this);
        return 0;
    }
    const LONG count = InterlockedDecrement(&m_references);
    if (count == 0)
        finalRelease();
    return static_cast<ULONG>(count);
}
