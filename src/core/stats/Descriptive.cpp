// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/Descriptive.h"

#include "app/SharedState.h"
#include "stats/ConfidenceCorrelation.h"
#include "stats/Normality.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace kivspc {

TSampleStats SampleStats;

namespace {

// The number of values the routines may read: SampleN, kept inside the buffer.
int Count() {
    const int capacity = SampleX.empty() ? 0 : static_cast<int>(SampleX.size()) - 1;
    return std::clamp(SampleN, 0, capacity);
}

// Heap sort on x[lo..hi] with the same "<" as the quicksort: the fallback that keeps a sample
// crafted against the middle pivot from taking quadratic time.
void SiftDown(double* x, int lo, int root, int last) {
    while (true) {
        int child = 2 * (root - lo) + 1 + lo;
        if (child > last) return;
        if (child < last && x[child] < x[child + 1]) ++child;
        if (!(x[root] < x[child])) return;
        std::swap(x[root], x[child]);
        root = child;
    }
}

void HeapSort(double* x, int lo, int hi) {
    for (int root = lo + (hi - lo - 1) / 2; root >= lo; --root)
        SiftDown(x, lo, root, hi);
    for (int last = hi; last > lo; --last) {
        std::swap(x[lo], x[last]);
        SiftDown(x, lo, lo, last - 1);
    }
}

// Partitions this short are finished by insertion: the sorted result is the same, and it
// saves the quicksort's overhead where it is least efficient.
constexpr int kInsertionLength = 16;

void InsertionSort(double* x, int lo, int hi) {
    for (int i = lo + 1; i <= hi; ++i) {
        const double value = x[i];
        int j = i - 1;
        while (j >= lo && value < x[j]) {
            x[j + 1] = x[j];
            --j;
        }
        x[j + 1] = value;
    }
}

// Quicksort with the middle element as pivot and Hoare's partition. The smaller part is sorted
// by recursion and the larger by the loop, so the stack stays shallow; past the depth limit the
// rest goes to the heap sort. Comparisons are only "<", so NaN values cannot run an index off.
void QuickSort(double* x, int lo, int hi, int depthLeft) {
    while (hi - lo >= kInsertionLength) {
        if (depthLeft-- == 0) {
            HeapSort(x, lo, hi);
            return;
        }
        const double pivot = x[lo + (hi - lo) / 2];
        int i = lo;
        int j = hi;
        do {
            while (x[i] < pivot)
                ++i;
            while (pivot < x[j])
                --j;
            if (i <= j) {
                std::swap(x[i], x[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            if (lo < j) QuickSort(x, lo, j, depthLeft);
            lo = i;
        } else {
            if (i < hi) QuickSort(x, i, hi, depthLeft);
            hi = j;
        }
    }
    InsertionSort(x, lo, hi);
}

Extended MedianOfSorted(int n) {
    if (n % 2 == 1) return SampleX[static_cast<std::size_t>(n / 2 + 1)];
    return (static_cast<Extended>(SampleX[static_cast<std::size_t>(n / 2)]) +
            SampleX[static_cast<std::size_t>(n / 2 + 1)]) /
           2;
}

} // namespace

void MeanOnly() {
    const int n = Count();
    if (n == 0) {
        SampleStats.Sum = 0;
        SampleStats.Mean = 0;
        return;
    }
    Extended sum = 0;
    for (int i = 1; i <= n; ++i)
        sum += SampleX[static_cast<std::size_t>(i)];
    SampleStats.Sum = sum;
    SampleStats.Mean = sum / n;
}

void MeanAndStdDev() {
    const int n = Count();
    SampleStats.NReal = n;
    SampleStats.StdDev = 0;
    SampleStats.Variance = 0;
    SampleStats.PopVariance = 0;
    if (n == 0) {
        // Nothing to describe: every field 0.
        SampleStats.Sum = 0;
        SampleStats.Mean = 0;
        return;
    }
    const double* values = SampleX.data();
    const double first = values[1];
    Extended sum = 0;
    bool allEqual = true;
    for (int i = 1; i <= n; ++i) {
        sum += values[i];
        if (values[i] != first) allEqual = false;
    }
    SampleStats.Sum = sum;
    // Equal values give their value exactly, not a sum divided back.
    SampleStats.Mean = allEqual ? static_cast<Extended>(first) : sum / n;
    if (allEqual || n < 2) return;
    const Extended mean = SampleStats.Mean;
    Extended sumSquares = 0;
    for (int i = 1; i <= n; ++i) {
        const Extended deviation = values[i] - mean;
        sumSquares += deviation * deviation;
    }
    SampleStats.Variance = sumSquares / (n - 1);
    SampleStats.PopVariance = sumSquares / n;
    SampleStats.StdDev = std::sqrt(SampleStats.Variance);
}

void FindMinMax() {
    const int n = Count();
    if (n == 0) {
        SampleStats.Minimum = 0;
        SampleStats.Maximum = 0;
        SampleStats.Range = 0;
        return;
    }
    double lo = SampleX[1];
    double hi = lo;
    for (int i = 2; i <= n; ++i) {
        const double value = SampleX[static_cast<std::size_t>(i)];
        if (value < lo) lo = value;
        if (value > hi) hi = value;
    }
    SampleStats.Minimum = lo;
    SampleStats.Maximum = hi;
    SampleStats.Range = hi - lo;
}

void SortSample(int lo, int hi) {
    if (SampleX.empty()) return;
    lo = std::max(lo, 0);
    hi = std::min(hi, static_cast<int>(SampleX.size()) - 1);
    if (lo >= hi) return;
    // Analyses sort the same sample again and again: a sorted one is left as it is.
    if (std::is_sorted(SampleX.begin() + lo, SampleX.begin() + hi + 1)) return;
    int depth = 0;
    for (int len = hi - lo + 1; len > 1; len /= 2)
        ++depth;
    QuickSort(SampleX.data(), lo, hi, 2 * depth + 8);
}

void OrderStatistics() {
    const int n = Count();
    if (n == 0) {
        SampleStats.Minimum = 0;
        SampleStats.Maximum = 0;
        SampleStats.Range = 0;
        SampleStats.Median = 0;
        return;
    }
    SortSample(1, n);
    SampleStats.Minimum = SampleX[1];
    SampleStats.Maximum = SampleX[static_cast<std::size_t>(n)];
    SampleStats.Range = SampleStats.Maximum - SampleStats.Minimum;
    SampleStats.Median = MedianOfSorted(n);
}

void SampleMode() {
    const int n = Count();
    if (n == 0) {
        SampleStats.Mode = MissingValue;
        return;
    }
    // Without a repeated value the first value in data order stands.
    SampleStats.Mode = SampleX[1];
    if (n < 3) return;
    OrderStatistics();
    int longest = 1;
    int i = 1;
    while (i <= n) {
        const double value = SampleX[static_cast<std::size_t>(i)];
        int j = i + 1;
        while (j <= n && SampleX[static_cast<std::size_t>(j)] == value)
            ++j;
        if (j - i > longest) {
            longest = j - i;
            SampleStats.Mode = value;
        }
        i = j;
    }
}

void BasicStatistics() {
    OrderStatistics();
    MeanAndStdDev();
}

void ShapeStatistics() {
    const int n = Count();
    SampleStats.NReal = n;
    if (n == 0) {
        SampleStats.Skewness = 0;
        SampleStats.Kurtosis = 0;
        SampleStats.SkewnessAdj = 0;
        SampleStats.KurtosisAdj = 0;
        return;
    }
    const Extended mean = SampleStats.Mean;
    Extended sumCubes = 0;
    Extended sumFourths = 0;
    for (int i = 1; i <= n; ++i) {
        const Extended deviation = SampleX[static_cast<std::size_t>(i)] - mean;
        const Extended squared = deviation * deviation;
        sumCubes += squared * deviation;
        sumFourths += squared * squared;
    }
    const Extended nn = n;
    // Central moments.
    const Extended m2 = SampleStats.PopVariance;
    const Extended m3 = sumCubes / nn;
    const Extended m4 = sumFourths / nn;
    const Extended m2Cubed = m2 * std::sqrt(m2);
    const Extended m2Squared = m2 * m2;
    const bool flat = SampleStats.StdDev < 1e-20L;

    if (n < 3 || flat || m2Cubed == 0) {
        SampleStats.Skewness = NotAvailable;
    } else {
        SampleStats.Skewness = m3 / m2Cubed;
    }
    if (SampleStats.Skewness == 0)
        SampleStats.SkewnessAdj = 0;
    else if (SampleStats.Skewness == NotAvailable)
        SampleStats.SkewnessAdj = NotAvailable;
    else
        SampleStats.SkewnessAdj = std::sqrt(nn * (nn - 1)) / (nn - 2) * SampleStats.Skewness;

    if (n < 4 || flat || m2Squared == 0) {
        SampleStats.Kurtosis = NotAvailable;
    } else {
        SampleStats.Kurtosis = m4 / m2Squared - 3;
    }
    if (SampleStats.Kurtosis == 0) {
        SampleStats.KurtosisAdj = 0;
    } else if (SampleStats.Kurtosis == NotAvailable) {
        SampleStats.KurtosisAdj = NotAvailable;
    } else {
        const Extended denominator = (nn - 2) * (nn - 3);
        SampleStats.KurtosisAdj = (nn - 1) * (nn + 1) / denominator * (SampleStats.Kurtosis + 3) -
                                  3 * (nn - 1) * (nn - 1) / denominator;
    }
}

void MovingRangeStatistics() {
    const int n = Count();
    if (n < 2) {
        SampleStats.MeanMovingRange = 0;
        SampleStats.SigmaMR = 0;
        SampleStats.MedianMovingRange = 0;
        SampleStats.SigmaMedianMR = 0;
        return;
    }
    const int savedN = SampleN;
    double* values = SampleX.data();
    Extended sum = 0;
    for (int i = 1; i < n; ++i) {
        values[i] = std::fabs(static_cast<Extended>(values[i + 1]) - values[i]);
        sum += values[i];
    }
    SampleStats.MeanMovingRange = sum / (n - 1);
    SampleStats.SigmaMR = SampleStats.MeanMovingRange / 1.12838L;
    SampleN = n - 1;
    OrderStatistics();
    SampleStats.MedianMovingRange = SampleStats.Median;
    SampleStats.SigmaMedianMR = SampleStats.MedianMovingRange / 0.954L;
    SampleN = savedN;
}

Extended SampleQuantile(Extended p) {
    StatErrorCode = 0;
    const int n = Count();
    if (n == 0) return 0;
    const double* sorted = SampleX.data();
    // The 1-based rank at which p falls, between two values.
    const double rank = static_cast<double>((n + 0.4L) * p + 0.3L);
    // Written so that NaN and huge proportions fall on an end value, never on an index.
    if (!(rank >= 1)) return sorted[1];
    if (rank >= n) return sorted[n];
    const int below = static_cast<int>(rank);
    const Extended frac = static_cast<Extended>(rank) - below;
    return sorted[below] + frac * (static_cast<Extended>(sorted[below + 1]) - sorted[below]);
}

void CountAbove(int& count, Extended x) {
    const int n = Count();
    const Extended limit = x + 1e-20L;
    count = 0;
    for (int i = 1; i <= n; ++i)
        if (SampleX[static_cast<std::size_t>(i)] > limit) ++count;
}

void CountBelow(int& count, Extended x) {
    const int n = Count();
    const Extended limit = x - 1e-20L;
    count = 0;
    for (int i = 1; i <= n; ++i)
        if (SampleX[static_cast<std::size_t>(i)] < limit) ++count;
}

void SpreadTies() {
    const int n = Count();
    if (n < 2) return;
    SortSample(1, n);
    double* sorted = SampleX.data();
    // The smallest positive step between neighbours; 0 when every value is equal.
    Extended gap = 0;
    for (int i = 1; i < n; ++i) {
        const Extended step = static_cast<Extended>(sorted[i + 1]) - sorted[i];
        if (step > 0 && (gap == 0 || step < gap)) gap = step;
    }
    SampleStats.SmallestGap = static_cast<double>(gap);
    if (gap > 0) {
        int i = 1;
        while (i <= n) {
            int j = i + 1;
            while (j <= n && sorted[j] == sorted[i])
                ++j;
            const int runLength = j - i;
            if (runLength >= 2) {
                const Extended value = sorted[i];
                for (int rank = 1; rank <= runLength; ++rank)
                    sorted[i + rank - 1] =
                        static_cast<double>(value - gap / 2 + rank * gap / (runLength + 1));
            }
            i = j;
        }
    }
    SampleStats.Minimum = sorted[1];
    SampleStats.Maximum = sorted[n];
    SampleStats.Range = SampleStats.Maximum - SampleStats.Minimum;
}

void ComputeStatistics(char code) {
    BasicStatistics();
    if (code == 'T') ShapiroWilkTest(false);
    if (code == 'S' || code == 'T') ShapeStatistics();
    if (code == 'L' || code == 'T') LinMudholkarTest();
    if (code == 'A' || code == 'T') AndersonDarlingTest();
    if (code == 'I') ConfI.Init();
    if (code == 'N') {
        SampleStats.LowerNatural = SampleStats.Mean - 3 * SampleStats.StdDev;
        SampleStats.UpperNatural = SampleStats.Mean + 3 * SampleStats.StdDev;
    }
}

Extended SDFromSums(Extended n, Extended sum, Extended sumSq) {
    // Fewer than two values have no spread (and would divide by zero).
    if (!(n > 1)) return 0;
    const Extended variance = (sumSq - sum * sum / n) / (n - 1);
    return variance >= 0 ? std::sqrt(variance) : 0;
}

Extended VarianceFromSums(Extended n, Extended sum, Extended sumSq) {
    if (!(n > 1)) return 0;
    return (sumSq - sum * sum / n) / (n - 1);
}

void ResetDescriptiveState() {
    SampleStats = TSampleStats{};
    SampleN = 0;
}

} // namespace kivspc
