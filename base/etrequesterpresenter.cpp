#include "etrequesterpresenter.h"

ETRequesterPresenter::~ETRequesterPresenter() = default;
