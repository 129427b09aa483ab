#pragma once

// The states of a fixture that Undo and Redo go back and forth between, kept within a memory
// budget whatever the fixture's size. A state shares with the state before it every run of
// attributes, commands and palettes that a change left as it was, so a step costs about what it
// changed; past the budget, or the depth, the oldest steps go.

#include "FixClasses.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

class TFixtureHistory {
public:
    static constexpr std::size_t DefaultBudget = 64u << 20;
    static constexpr std::size_t DefaultDepth = 100;

    explicit TFixtureHistory(std::size_t budgetBytes = DefaultBudget, std::size_t depth = DefaultDepth);
    ~TFixtureHistory();
    TFixtureHistory(const TFixtureHistory &) = delete;
    TFixtureHistory &operator=(const TFixtureHistory &) = delete;

    // Starts afresh from the fixture as it is: nothing to undo or redo.
    void Reset(const TFixture &fixture);
    // The fixture was changed: the state before the change becomes a step Undo takes back. Changes
    // with the same typing key one after the other (typing into one field) make one step.
    void Record(const TFixture &fixture, const void *typing = nullptr);
    // Puts the fixture in the state before the last change, or after the last one taken back. Its
    // file (name, directory, path, layout) stays; it counts as not saved. False when there is none.
    bool Undo(TFixture &fixture);
    bool Redo(TFixture &fixture);
    bool CanUndo() const;
    bool CanRedo() const;
    std::size_t UndoSteps() const;
    // The memory the steps take beyond the fixture's present state (of which the history keeps a
    // copy), each shared part counted once. The budget bounds it.
    std::size_t StepBytes() const;

    class TState;

private:
    bool Step(std::vector<TState> &from, std::vector<TState> &to, TFixture &fixture);
    // Drops the oldest steps while the history is over its budget or depth.
    void Trim();

    std::size_t budget_;
    std::size_t depth_;
    std::vector<TState> undo_;
    std::vector<TState> redo_;
    std::unique_ptr<TState> latest_; // the fixture as the last change left it
    const void *typing_ = nullptr;
};
