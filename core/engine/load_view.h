#pragma once

#include <cstdint>
#include <string>

// What loading and comparing show while they work.
class LoadView {
public:
    virtual ~LoadView() = default;
    virtual void StatusText(const std::string& text) = 0;
    // One more file found: the activity strip creeps on.
    virtual void ActivityStep() = 0;
    // The comparison's progress bar takes the activity strip's place.
    virtual void ShowComparisonProgress(std::int64_t maximum) = 0;
    virtual void ComparisonProgress(std::int64_t value) = 0;
};
