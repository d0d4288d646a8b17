// Building and parsing XmlTree documents of growing size. Appending at the end
// of a document must cost the same per element at every size, so the fitted
// complexity of the build benchmarks should read O(N).
#include <benchmark/benchmark.h>

#include <string>

#include "exchange/xml_tree.h"

namespace {

// A track export's shape: Placemarks of four elements under kml/Document.
orv::XmlTree BuildTrackDocument(int64_t elements) {
  orv::XmlTree tree;
  tree.AppendElement(u"kml");
  tree.SetAttribute(tree.CurrentElement(), u"xmlns", u"http://www.opengis.net/kml/2.2");
  tree.EnterElement();
  tree.AppendElement(u"Document");
  tree.EnterElement();
  for (int64_t built = 2; built < elements; built += 4) {
    tree.AppendElement(u"Placemark");
    tree.EnterElement();
    tree.AppendElement(u"name", u"12.345km, 45.6kmh;");
    tree.AppendElement(u"styleUrl", u"#s07");
    tree.AppendElement(u"coordinates", u"8.123456,47.123456,400 8.123556,47.123556,401 ");
    tree.LeaveElement();
  }
  return tree;
}

void BM_BuildTrackDocument(benchmark::State& state) {
  for (auto _ : state) {
    orv::XmlTree tree = BuildTrackDocument(state.range(0));
    benchmark::DoNotOptimize(tree.DocumentText().data());
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildTrackDocument)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// All elements as siblings of one parent: the parent's end tag is the only
// text behind each insertion.
void BM_BuildFlatList(benchmark::State& state) {
  for (auto _ : state) {
    orv::XmlTree tree;
    tree.AppendElement(u"list");
    tree.EnterElement();
    for (int64_t i = 1; i < state.range(0); ++i) tree.AppendElement(u"item", u"1");
    benchmark::DoNotOptimize(tree.DocumentText().data());
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildFlatList)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_ParseTrackDocument(benchmark::State& state) {
  const std::u16string text = BuildTrackDocument(state.range(0)).DocumentText();
  orv::XmlTree tree;
  for (auto _ : state) {
    bool parsed = tree.ParseText(text);
    benchmark::DoNotOptimize(parsed);
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size() * 2));
}
BENCHMARK(BM_ParseTrackDocument)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
