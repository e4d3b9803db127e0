#include "platform/net/net_status.h"

#include <cerrno>

const char* NetStatusName(NetStatus status)
{
    switch (status) {
    case NetStatus::kOk: return "ok";
    case NetStatus::kClosed: return "closed by peer";
    case NetStatus::kTimeout: return "timeout";
    case NetStatus::kShutdown: return "shut down";
    case NetStatus::kNotOpen: return "not open";
    case NetStatus::kAlreadyOpen: return "already open";
    case NetStatus::kRefused: return "refused";
    case NetStatus::kUnreachable: return "unreachable";
    case NetStatus::kNetworkDown: return "network down";
    case NetStatus::kConnectionLost: return "connection lost";
    case NetStatus::kAddressInUse: return "address in use";
    case NetStatus::kInvalidAddress: return "invalid address";
    case NetStatus::kAddressNotAllowed: return "address not allowed";
    case NetStatus::kInvalidArgument: return "invalid argument";
    case NetStatus::kError: return "error";
    }
    return "unknown";
}

NetStatus NetStatusFromErrno(int err)
{
    switch (err) {
    case 0: return NetStatus::kOk;
    case ECONNREFUSED: return NetStatus::kRefused;
    case ETIMEDOUT:
    case ECONNRESET:
    case ECONNABORTED:
    case EPIPE: return NetStatus::kConnectionLost;
    case ENETUNREACH:
    case EHOSTUNREACH: return NetStatus::kUnreachable;
    case ENETDOWN: return NetStatus::kNetworkDown;
    case EADDRINUSE: return NetStatus::kAddressInUse;
    case EBADF:
    case ENOTCONN: return NetStatus::kNotOpen;
    default: return NetStatus::kError;
    }
}
