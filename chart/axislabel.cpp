// SPDX-License-Identifier: GPL-3.0-or-later
#include "axislabel.h"

#include <cmath>

namespace mirado {

namespace {

constexpr int kLabelDecimals = 3;

} // namespace

QLocale AxisLabelLocale()
{
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale;
}

QString FormatAxisLabel(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");

    // Three decimals, then the zeros at the end and a bare full stop dropped.
    QString text = AxisLabelLocale().toString(value, 'f', kLabelDecimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    // A value that rounds to zero has no sign.
    if (text == QStringLiteral("-0"))
        return QStringLiteral("0");
    return text;
}

} // namespace mirado
