#include "data/reference.h"

namespace mervalin {

// Names, relative weights and melting points are those of the school
// reference tables the quiz was written for. Weights are densities in g/cm³
// relative to water at 4 °C, rounded as those tables give them; melting
// points are at normal pressure, in whole degrees Celsius.
const std::array<Metal, kMetalCount> MetalTable = {{
    {"Алуминий", "2.7", "660°C", "TODO"},
    {"Волфрам", "19.25", "3410°C", "TODO"},
    {"Галий", "5.9", "30°C", "TODO"},
    {"Желязо", "7.9", "1539°C", "TODO"},
    {"Живак", "13.5", " -39°C", "TODO"},
    {"Злато", "19.32", "1063°C", "TODO"},
    {"Калай", "7.3", "232°C", "TODO"},
    {"Манган", "7.21", "1246°C", "TODO"},
    {"Мед", "8.9", "1083°C", "TODO"},
    {"Никел", "8.9", "1455°C", "TODO"},
    {"Олово", "11.3", "327°C", "TODO"},
    {"Платина", "21.6", "1780°C", "TODO"},
    {"Сребро", "10.5", "960°C", "TODO"},
    {"Титан", "4.5", "1668°C", "TODO"},
    {"Цинк", "7.14", "419°C", "TODO"},
}};

const std::array<std::string_view, kSizeCount> SizeList = {
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
};

const std::string_view IntroText = "TODO\r\n";

}  // namespace mervalin
