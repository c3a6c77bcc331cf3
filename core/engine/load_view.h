#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What loading and comparing show while they work, and what they ask.
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
    // Lets the window repaint and answer input; called on the thread that owns the view.
    virtual void PumpEvents() = 0;
    // True once the user pressed "Abbrechen" or closes the window: the scans stop before their
    // next folder and the comparison at its next file.
    virtual bool StopRequested() = 0;
};
