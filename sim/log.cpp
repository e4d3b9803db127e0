#include "sim/log.h"

#include <utility>

void SimLog::Add(std::string line)
{
    std::lock_guard lock(mutex_);
    if (sink_) sink_(line);
    lines_.push_back(std::move(line));
}

std::vector<std::string> SimLog::Lines() const
{
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> SimLog::LinesFrom(size_t from, const std::string& needle) const
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (size_t i = from; i < lines_.size(); ++i)
        if (lines_[i].find(needle) != std::string::npos) out.push_back(lines_[i]);
    return out;
}

std::vector<std::string> SimLog::TakeLines()
{
    std::lock_guard lock(mutex_);
    return std::exchange(lines_, {});
}

void SimLog::Clear()
{
    std::lock_guard lock(mutex_);
    lines_.clear();
}

void SimLog::SetSink(std::function<void(const std::string&)> sink)
{
    std::lock_guard lock(mutex_);
    sink_ = std::move(sink);
}
