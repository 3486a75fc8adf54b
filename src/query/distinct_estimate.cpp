// The HyperLogLog estimate from its registers.
#include "query/distinct_estimate.h"

#include <math.h>

uint64_t distinct_count(const DistinctEstimate *d) {
    const double m = DISTINCT_REGISTERS;
    double sum = 0;
    int zeros = 0;
    for (int i = 0; i < DISTINCT_REGISTERS; ++i) {
        sum += ldexp(1.0, -d->registers[i]);
        zeros += d->registers[i] == 0;
    }
    double estimate = 0.7213 / (1 + 1.079 / m) * m * m / sum;
    if (estimate <= 2.5 * m && zeros > 0) estimate = m * log(m / zeros);
    return static_cast<uint64_t>(estimate + 0.5);
}
