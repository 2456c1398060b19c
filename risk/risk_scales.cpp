// SPDX-License-Identifier: MIT
#include "risk_scales.h"

#include <stdexcept>
#include <string>

namespace risk {
namespace {

// Captions are UTF-8. Every option caption starts with one blank; Option3 has
// two blanks between "ERNSTE" and "Auswirkung".
constexpr std::array<RiskScale, 3> kScales{{
    {Scale::A,
     "A = Auswirkung (Schadensausmaß)",
     {{
         {"Option1", " GERINGE Auswirkung, z.B. Erste Hilfe, Schaden < 7.000 €, A = 1", 1.0f},
         {"Option2",
          " WICHTIGE Auswirkung, z.B. schwere Verletzung, Arbeitszeitverlust, Schaden von 7.000 - 70.000 €, A = 3",
          3.0f},
         {"Option3", " ERNSTE  Auswirkung, z.B. bleibende Invalidität, Schaden von 70.000 - 700.000 €, A = 7",
          7.0f},
         {"Option4",
          " SEHR ERNSTE Auswirkung, z.B. tödlicher Unfall, schwere Erkrankung, Schaden von 700.000 - 1.400.000 €, A = 15",
          15.0f},
         {"Option5",
          " GROSSSCHADENSEREIGNISS, mehrere Todesfälle, Schaden von 1.400.000 - 14.500.000 €, A = 40", 40.0f},
         {"Option6", " KATASTROPHE, z.B. zahlreiche Todesfälle, Schaden grösser als 14.500.000 €, A = 100",
          100.0f},
     }}},
    {Scale::H,
     "H = Häufigkeit",
     {{
         {"Option7", " SEHR SELTEN, weniger als 1 x jährlich, H = 0,5", 0.5f},
         {"Option8", " SELTEN, 1 x jährlich, H = 1", 1.0f},
         {"Option9", " MANCHMAL, monatlich, H = 2", 2.0f},
         {"Option10", " AB UND ZU, wöchentlich, H = 3", 3.0f},
         {"Option11", " REGELMÄSSIG, täglich, H = 6", 6.0f},
         {"Option12", " KONTINUIERLICH, H = 10", 10.0f},
     }}},
    {Scale::W,
     "W = Wahrscheinlichkeit",
     {{
         // 0.2f is the single-precision value nearest 0.2 (about 0.200000003),
         // not an exact decimal; products are formed from it.
         {"Option13", " NICHT vorstellbar, W = 0,2", 0.2f},
         {"Option14", " FAST unmöglich, W = 0,5", 0.5f},
         {"Option15", " UNWAHRSCHEINLICH, aber langfristig möglich, W = 1", 1.0f},
         {"Option16", " NORMALERWEISE nicht, aber möglich, W = 3", 3.0f},
         {"Option17", " GUT MÖGLICH, W = 6", 6.0f},
         {"Option18", " FAST SICHER, W = 10", 10.0f},
     }}},
}};

} // namespace

const RiskOption& RiskScale::option(int position) const
{
    if (position < 1 || position > kOptionCount)
        throw std::out_of_range("risk option position " + std::to_string(position) + " is not within 1 to 6");
    return m_options[static_cast<std::size_t>(position - 1)];
}

std::span<const RiskScale, 3> riskScales()
{
    return kScales;
}

const RiskScale& riskScale(Scale scale)
{
    return kScales[static_cast<std::size_t>(scale)];
}

float optionValue(Scale scale, int position)
{
    return riskScale(scale).option(position).value;
}

} // namespace risk
