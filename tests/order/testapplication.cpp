#include "ettestapplication.h"

#include <gtest/gtest.h>

namespace
{

// The order's tests make the application object before the first test runs.
class ApplicationEnvironment : public ::testing::Environment
{
  public:
    void SetUp() override { ETTestApplication::instance(); }
};

const ::testing::Environment *const g_environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace
