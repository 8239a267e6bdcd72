#include "CurveExchange.h"

namespace vo::plugins::zel
{

void CurveExchange::publish (const Curve& curve) noexcept
{
    curves.publish (curve);
    published.store (true, std::memory_order_release);
}

bool CurveExchange::takeFresh (Curve& out) noexcept
{
    if (! curves.takeFresh())
        return false;

    out = curves.current();
    return true;
}

CurveExchange::Curve CurveExchange::latest() noexcept
{
    curves.takeFresh();
    return curves.current();
}

} // namespace vo::plugins::zel
