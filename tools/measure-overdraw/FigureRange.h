#pragma once

#include <algorithm>

// The least, mean and greatest of a series of per-frame figures.
class FigureRange {
public:
    void Add(double value)
    {
        min_ = count_ == 0 ? value : std::min(min_, value);
        max_ = count_ == 0 ? value : std::max(max_, value);
        sum_ += value;
        ++count_;
    }
    long Count() const { return count_; }
    double Min() const { return min_; }
    double Max() const { return max_; }
    // 0 for an empty series.
    double Mean() const { return count_ == 0 ? 0.0 : sum_ / static_cast<double>(count_); }

private:
    double min_ = 0.0;
    double max_ = 0.0;
    double sum_ = 0.0;
    long count_ = 0;
};
