// Outcome of a socket call, with the system's error numbers sorted into the
// cases a caller acts on differently.
#pragma once

enum class NetStatus {
    kOk,
    kClosed,             // the peer closed the connection in order
    kTimeout,            // nothing happened within the time given
    kShutdown,           // this side's Shutdown or Close ended the call
    kNotOpen,            // no connection: never opened, or closed before the call
    kAlreadyOpen,        // Connect, Listen or Accept into an object that holds one
    kRefused,            // nobody listens at the address and port
    kUnreachable,        // no route to the address
    kNetworkDown,        // the system reports the network down
    kConnectionLost,     // reset, broken pipe, aborted or timed out by the stack
    kAddressInUse,       // the port is bound by another socket
    kInvalidAddress,     // not dotted IPv4 text
    kAddressNotAllowed,  // a listener binds 127.0.0.1 only
    kInvalidArgument,    // port 0, empty buffer, oversized length
    kError,              // any other system error
};

const char* NetStatusName(NetStatus status);

// The status for a system error number (errno) from send, recv, accept,
// bind or a finished connect.
NetStatus NetStatusFromErrno(int err);
