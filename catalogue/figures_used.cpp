#include "figures_used.h"

#include <cmath>
#include <limits>

#include "column_map.h"

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

double ChangeBy(double figure, double percent) {
    const double q = percent / 100.0;
    const double m = 1.0 + q;
    return figure * m;
}

// The zero tests of the model's result rules: both zeros and not-a-number.
bool CountsAsZero(double value) {
    return value == 0.0 || std::isnan(value);
}

}  // namespace

bool ChangesFigures(const CatalogueOptions& options) {
    bool changed = options.boughtMonths != 0.0 || options.soldMonths != 0.0;
    for (bool adjusted : options.adjusted) {
        changed = changed || adjusted;
    }
    return changed;
}

InventoryInputs UseFigures(const InventoryInputs& read, const CatalogueOptions& options,
                           bool adjust) {
    InventoryInputs used = read;
    if (options.boughtMonths != 0.0) {
        used.buyPerMonth = used.buyPerMonth / options.boughtMonths;
    }
    if (options.soldMonths != 0.0) {
        used.sellPerMonth = used.sellPerMonth / options.soldMonths;
    }
    if (!adjust) {
        return used;
    }
    double* const figures[kFigureCount] = {&used.price, &used.cost, &used.buyPerMonth,
                                           &used.sellPerMonth};
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        if (options.adjusted[i]) {
            *figures[i] = ChangeBy(*figures[i], options.adjustPercent[i]);
        }
    }
    return used;
}

TargetOrder ComputeTargetOrder(const InventoryInputs& used, const InventoryResults& results,
                               double targetPercent) {
    const double g = results.figure[kGrossProfit].value;
    const ResultFigure none = {std::numeric_limits<double>::quiet_NaN(), kResultNone};
    TargetOrder order{none, none};
    if (g > 0.0 && !CountsAsZero(used.cost)) {
        const double a = g * 200.0;
        const double b = used.cost * targetPercent;
        order.quantity = ResultFigure{a / b, kResultNumber};
    }
    // As the months supply of an item: nothing sold makes any stock last
    // for ever, whether an order reaches the target or not.
    if (CountsAsZero(used.sellPerMonth)) {
        order.monthsSupply = ResultFigure{kInfinity, kResultInfinite};
    } else if (order.quantity.kind == kResultNumber) {
        order.monthsSupply = ResultFigure{order.quantity.value / used.sellPerMonth, kResultNumber};
    }
    return order;
}
