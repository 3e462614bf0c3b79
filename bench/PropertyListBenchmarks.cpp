// What a settings change costs the tweak: reading the store file and decoding
// its archived colours, and what it costs a settings screen to write it back.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

#include <foundation/NSKeyedArchiver.h>
#include <foundation/PropertyListSerialization.h>
#include <store/SettingsStore.h>
#include <uikit/UIColor.h>

namespace {

std::vector<std::uint8_t> fixtureBytes(const char* name)
{
    std::ifstream file(std::string(MENUTONE_FIXTURES_DIR) + "/" + name, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

void readStore(benchmark::State& state, const char* name)
{
    auto bytes = fixtureBytes(name);
    for (auto _ : state)
        benchmark::DoNotOptimize(PropertyListSerialization::propertyListWithData(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK_CAPTURE(readStore, xml, "settings.xml.plist");
BENCHMARK_CAPTURE(readStore, binary, "settings.binary.plist");

void writeStore(benchmark::State& state, PropertyListFormat format)
{
    auto value = *PropertyListSerialization::propertyListWithData(fixtureBytes("settings.xml.plist"));
    for (auto _ : state)
        benchmark::DoNotOptimize(PropertyListSerialization::dataWithPropertyList(value, format));
}
BENCHMARK_CAPTURE(writeStore, xml, PropertyListFormat::XML);
BENCHMARK_CAPTURE(writeStore, binary, PropertyListFormat::Binary);

void unarchiveColor(benchmark::State& state)
{
    auto bytes = NSKeyedArchiver::archivedDataWithRootObject(UIColor::colorWithRed(0.1, 0.2, 0.3, 1).ptr());
    for (auto _ : state)
        benchmark::DoNotOptimize(NSKeyedUnarchiver::unarchiveObjectWithData(bytes));
}
BENCHMARK(unarchiveColor);

// Everything LoadSettings reads: the file parsed and all eighteen keys through their readers.
void readEverySetting(benchmark::State& state)
{
    auto bytes = fixtureBytes("settings.xml.plist");
    for (auto _ : state) {
        NSDictionary pref(*PropertyListSerialization::propertyListWithData(bytes)->asDictionary());
        benchmark::DoNotOptimize(MenutoneSettings::read(&pref));
    }
}
BENCHMARK(readEverySetting);

}
