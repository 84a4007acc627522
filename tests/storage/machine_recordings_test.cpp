#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "golden.h"
#include "machine_scan.h"
#include "recorded_machine.h"
#include "storage/scan_recorder.h"
#include "storage/scan_replay.h"
#include "support/text.h"

// The machines of tests/data/machines: each recording replayed, its log from the first phase to
// the storage stack's dump compared byte for byte with the one beside it ("NAME.txt" and
// "NAME.log.txt"), and recorded again to the same file; the model the scan builds on its own
// thread beside them as "NAME.facts.txt".

TEST(MachineRecordings, EachReplaysToItsLog) {
  ONLY_WITH_32_BIT_RECORDINGS();
  const std::vector<std::string> names = machine_names();
  EXPECT_GE(names.size(), 10u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    scan_recording r;
    std::string error;
    ASSERT_TRUE(load_recording(machines_dir() + from_utf8(name) + L".txt", r, error)) << error;
    scan_replay replay(r);
    const std::string log = scan_log(replay, replay, &replay);
    const size_t at = log.find("2 Enumerating storage devices...\n");
    ASSERT_NE(at, std::string::npos);
    expect_golden(log.substr(at), "machines/" + name + ".log.txt");
    EXPECT_TRUE(replay.missing().empty()) << replay.missing().front();
    EXPECT_EQ(replay.open_handles(), 0u);
    EXPECT_EQ(replay.vds_objects, 0);

    // Recording the replay gives the same file again.
    scan_replay again(r);
    scan_recorder rerecorder(again, again, r.program_version);
    scan_log(rerecorder, rerecorder, &again);
    expect_golden(write_recording(rerecorder.recording()), "machines/" + name + ".txt");
  }
}

TEST(MachineFacts, EachRecordingBuildsItsModel) {
  ONLY_WITH_32_BIT_RECORDINGS();
  for (const std::string& name : machine_names()) {
    SCOPED_TRACE(name);
    expect_golden(model_facts(scan_recorded(name)), "machines/" + name + ".facts.txt");
  }
}
