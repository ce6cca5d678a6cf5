#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "testrun/test_results.h"

namespace kestrel {
namespace {

struct RecordingSink : TestLogSink {
  std::vector<std::pair<TestLogEvent, size_t>> events;
  void Notify(TestLogEvent event, size_t index) override { events.emplace_back(event, index); }
};

TEST(TestResults, ResetClearsWhateverThePreviousRunLeft) {
  CTestResults results;
  RecordingSink first, second;
  results.Reset(&first);
  results.AddLine(u"old");
  results.total_bytes = 7;
  results.files_deleted = 1;
  results.folders_deleted = 2;
  results.registry_values_deleted = 3;
  results.registry_keys_deleted = 4;

  results.Reset(&second);
  EXPECT_EQ(results.GetSize(), 0u);
  EXPECT_EQ(results.total_bytes, 0u);
  EXPECT_EQ(results.files_deleted, 0u);
  EXPECT_EQ(results.folders_deleted, 0u);
  EXPECT_EQ(results.registry_values_deleted, 0);
  EXPECT_EQ(results.registry_keys_deleted, 0);

  // Only the sink of the current run hears of new lines.
  results.AddLine(u"new");
  EXPECT_EQ(first.events.size(), 1u);
  ASSERT_EQ(second.events.size(), 1u);
  EXPECT_EQ(second.events[0], std::make_pair(TestLogEvent::kLine, size_t(0)));
  EXPECT_EQ(results[0], u"new");
}

TEST(TestResults, EachLineIsAnnouncedByItsIndexThenTheEnd) {
  CTestResults results;
  RecordingSink sink;
  results.Reset(&sink);
  for (int i = 0; i < 1000; ++i) results.AddLine(std::u16string(1, char16_t(u'a' + i % 26)));
  results.AddLine(u"\r\n");
  results.NotifyComplete();

  ASSERT_EQ(sink.events.size(), 1002u);
  for (size_t i = 0; i < 1001; ++i) {
    EXPECT_EQ(sink.events[i].first, TestLogEvent::kLine);
    EXPECT_EQ(sink.events[i].second, i);
  }
  EXPECT_EQ(sink.events.back(), std::make_pair(TestLogEvent::kComplete, size_t(0)));
  EXPECT_EQ(results.GetAt(26), u"a");
  EXPECT_EQ(results.CopyLine(1000), u"\r\n");  // a line may be just a line break
}

TEST(TestResults, RunsWithoutAListener) {
  CTestResults results;
  results.Reset(nullptr);
  results.AddLine(u"x");
  results.NotifyComplete();
  EXPECT_EQ(results.GetSize(), 1u);
}

}  // namespace
}  // namespace kestrel
