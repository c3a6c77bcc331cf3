#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What loading and comparing show while they work.
class LoadView {
public:
    virtual ~LoadView() = default;
    virtual void StatusText(const std::string& text) = 0;
    // One more file found: the activity strip creeps on.
    virtual void ActivityStep() = 0;
    // `count` more files found at once; the same as as many single steps.
    virtual void ActivitySteps(std::size_t count) {
        for (; count > 0; --count)
            ActivityStep();
    }
    // The comparison's progress bar takes the activity strip's place.
    virtual void ShowComparisonProgress(std::int64_t maximum) = 0;
    virtual void ComparisonProgress(std::int64_t value) = 0;
};
