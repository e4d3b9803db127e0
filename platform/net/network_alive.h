// Whether the system has an IPv4 interface up that can carry traffic to the
// device: a loopback interface for a loopback device address, otherwise any
// interface other than loopback.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct NetInterfaceInfo {
    uint32_t address = 0;  // IPv4, host byte order
    bool up = false;       // administratively up
    bool running = false;  // carrier present
    bool loopback = false;
};

// The decision on a given list of interfaces (a loopback flag or a
// 127.0.0.0/8 address both make an interface loopback).
bool CanReachDevice(const std::vector<NetInterfaceInfo>& interfaces, uint32_t deviceAddress);

// The system's IPv4 interfaces, in its order; empty when they cannot be read.
std::vector<NetInterfaceInfo> ListIpv4Interfaces();

// False too for text that is not a dotted IPv4 address.
bool IsNetworkAlive(std::string_view deviceAddress);
