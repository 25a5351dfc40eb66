#pragma once

// What the upload thread tells the screen that started it: which preparatory
// steps are done, so that a retry skips them. Called in the upload thread;
// implementations only store the flags.
class ETNetworkingThreadListener
{
  public:
    virtual ~ETNetworkingThreadListener() = default;

    virtual void setOrderDeclared(bool declared) = 0;
    virtual void setImagesOptimized(bool optimized) = 0;
};
