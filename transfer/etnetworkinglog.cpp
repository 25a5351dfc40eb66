#include "etnetworkinglog.h"

Q_LOGGING_CATEGORY(lcNetworking, "lumo.networking")
