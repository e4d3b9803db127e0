// What the emulated device received, one readable line per command or
// dropped frame. Written by the transport views, read by tests and by the
// console front-end from other threads.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

class SimLog {
public:
    void Add(std::string line);
    // Every line so far.
    std::vector<std::string> Lines() const;
    // The lines from index `from` on that hold needle.
    std::vector<std::string> LinesFrom(size_t from, const std::string& needle) const;
    // The lines added since the last call, removed from the log.
    std::vector<std::string> TakeLines();
    void Clear();
    // Called with each new line (under the log's lock, so it must not call
    // back into the log); an empty function removes it.
    void SetSink(std::function<void(const std::string&)> sink);

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::function<void(const std::string&)> sink_;
};
