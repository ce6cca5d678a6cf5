#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/memory_registry.h"
#include "testrun/registry_evaluation.h"

namespace kestrel {
namespace {

using Lines = std::vector<std::u16string>;

// A small HKEY_CURRENT_USER tree with something for every verb.
MemoryRegistry ExampleRegistry() {
  MemoryRegistry reg;
  reg.SetString(HKEY_CURRENT_USER, u"Software\\Example\\Recent", u"LastFile", u"a.txt")
      .SetString(HKEY_CURRENT_USER, u"Software\\Example\\Recent", u"", u"default")
      .SetString(HKEY_CURRENT_USER, u"Software\\Example\\List", u"TempFile", u"1")
      .SetString(HKEY_CURRENT_USER, u"Software\\Example\\List", u"MyTemp", u"2")
      .SetString(HKEY_CURRENT_USER, u"Software\\Example\\List", u"temp2", u"3")
      .AddKey(HKEY_CURRENT_USER, u"Software\\Example\\Keys\\TmpA\\Deep\\Deeper")
      .AddKey(HKEY_CURRENT_USER, u"Software\\Example\\Keys\\tmpB")
      .AddKey(HKEY_CURRENT_USER, u"Software\\Example\\Keys\\Other")
      .SetString(HKEY_CURRENT_USER, u"Software\\Example\\Full", u"v1", u"")
      .SetString(HKEY_CURRENT_USER, u"Software\\Example\\Full", u"v2", u"")
      .SetDword(HKEY_CURRENT_USER, u"Software\\Example\\Full", u"v3", 3)
      .SetString(HKEY_CURRENT_USER, u"Software\\Example\\Full\\Sub1", u"inner", u"")
      .AddKey(HKEY_CURRENT_USER, u"Software\\Example\\Full\\Sub2")
      .SetString(HKEY_CURRENT_USER, u"Software\\Example\\Locked", u"v", u"")
      .AddKey(HKEY_CURRENT_USER, u"Software\\Example\\Locked\\Child")
      .SetNotDeletable(HKEY_CURRENT_USER, u"Software\\Example\\Locked\\Child")
      .SetString(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Vendor", u"Installed", u"1")
      .AddKey(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Vendor\\Sub")
      .SetNotDeletable(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Vendor")
      .SetString(HKEY_CURRENT_USER, u"Software\\Odd,Name\\Key", u"val", u"");
  return reg;
}

struct Outcome {
  Lines lines;
  int32_t values;
  int32_t keys;
};

Outcome Evaluate(const Registry& reg, std::u16string_view action) {
  CTestResults results;
  results.Reset(nullptr);
  EvaluateRegistryAction(results, reg, action);
  EXPECT_EQ(results.total_bytes + results.files_deleted + results.folders_deleted, 0u);
  return {results.Lines(), results.registry_values_deleted, results.registry_keys_deleted};
}

TEST(RegistryEvaluation, ActionsReportWhatTheyWouldDelete) {
  const MemoryRegistry reg = ExampleRegistry();
  struct Case {
    const char16_t* action;
    Lines lines;
    int32_t values;
    int32_t keys;
  };
  const Case cases[] = {
      {u"DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile",
       {u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\Recent,LastFile"}, 1, 0},
      // Verbs, roots, names and paths in any case; the log keeps the action's spelling.
      {u"delval = hkey_current_user\\software\\EXAMPLE\\recent , lastfile ",
       {u"\tDeleted Value: Hkey_Current_User\\software\\EXAMPLE\\recent,lastfile"}, 1, 0},
      // An empty value name is the default value; the line ends with the comma.
      {u"DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,",
       {u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\Recent,"}, 1, 0},
      {u"DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,Missing", {}, 0, 0},
      {u"DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Missing,LastFile", {}, 0, 0},
      // The last comma ends the key path: a path may hold commas.
      {u"DELVAL=HKEY_CURRENT_USER\\Software\\Odd,Name\\Key,val",
       {u"\tDeleted Value: Hkey_Current_User\\Software\\Odd,Name\\Key,val"}, 1, 0},
      // Arguments that do not split report nothing.
      {u"DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent", {}, 0, 0},
      {u"DELVAL=HKEY_CURRENT_USER,LastFile", {}, 0, 0},
      {u"DELVAL=HKCU\\Software\\Example\\Recent,LastFile", {}, 0, 0},
      {u"DELKEY=HKEY_CURRENT_USER", {}, 0, 0},
      {u"DELKEY=HKEY_CURRENT_USER\\", {}, 0, 0},  // a whole root is never taken
      {u"DELKEY=", {}, 0, 0},
      {u"nothing at all", {}, 0, 0},
      // DELVAL is tried first, so its letters in a DELKEY path make it a DELVAL.
      {u"DELKEY=HKEY_CURRENT_USER\\Software\\x delval=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile",
       {u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\Recent,LastFile"}, 1, 0},
      // Prefixes compare without regard to case and only at the start.
      {u"DELLIST=HKEY_CURRENT_USER\\Software\\Example\\List,Temp",
       {u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\List,TempFile",
        u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\List,temp2"}, 2, 0},
      {u"DELLIST=HKEY_CURRENT_USER\\Software\\Example\\List,",
       {u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\List,TempFile",
        u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\List,MyTemp",
        u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\List,temp2"}, 3, 0},
      // Each matching subkey is a key of its own, subkeys in sorted order.
      {u"DELKLIST=HKEY_CURRENT_USER\\Software\\Example\\Keys,tmp",
       {u"\tDeleted Key: Hkey_Current_User\\Software\\Example\\Keys\\TmpA",
        u"\tDeleted Key: Hkey_Current_User\\Software\\Example\\Keys\\tmpB"}, 0, 2},
      // One line and one key however many subkeys it has.
      {u"DELKEY=HKEY_CURRENT_USER\\Software\\Example\\Full",
       {u"\tDeleted Key: Hkey_Current_User\\Software\\Example\\Full"}, 0, 1},
      // A subkey that may not be deleted keeps the whole key.
      {u"DELKEY=HKEY_CURRENT_USER\\Software\\Example\\Locked", {}, 0, 0},
      {u"EMPTYKEY=HKEY_CURRENT_USER\\Software\\Example\\Locked", {}, 0, 0},
      // The values of a kept key, with a backslash before each name; subkeys unlisted.
      {u"EMPTYKEY=HKEY_CURRENT_USER\\Software\\Example\\Full",
       {u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\Full\\v1",
        u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\Full\\v2",
        u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\Full\\v3"}, 3, 0},
      // A key the user may not write is not reported, though it exists.
      {u"DELVAL=HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor,Installed", {}, 0, 0},
      {u"DELLIST=HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor,", {}, 0, 0},
      {u"DELKLIST=HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor,", {}, 0, 0},
      {u"DELKEY=HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor", {}, 0, 0},
      // Its deletable subkey is another matter.
      {u"DELKEY=HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Sub",
       {u"\tDeleted Key: Hkey_Local_Machine\\SOFTWARE\\Vendor\\Sub"}, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.action, c.action + std::char_traits<char16_t>::length(c.action)));
    Outcome out = Evaluate(reg, c.action);
    EXPECT_EQ(out.lines, c.lines);
    EXPECT_EQ(out.values, c.values);
    EXPECT_EQ(out.keys, c.keys);
  }
}

TEST(RegistryEvaluation, SplitRegistryArgument) {
  uint32_t root = 0;
  std::u16string path, value;
  ASSERT_TRUE(SplitRegistryArgument(u"hkey_users\\ a\\b ,c ,  d ", true, root, path, value));
  EXPECT_EQ(root, HKEY_USERS);
  EXPECT_EQ(path, u"a\\b ,c");
  EXPECT_EQ(value, u"d");
  ASSERT_TRUE(SplitRegistryArgument(u"HKEY_CLASSES_ROOT\\x,y", false, root, path, value));
  EXPECT_EQ(root, HKEY_CLASSES_ROOT);
  EXPECT_EQ(path, u"x,y");
  EXPECT_EQ(value, u"");
  EXPECT_FALSE(SplitRegistryArgument(u"HKEY_CLASSES_ROOT\\x", true, root, path, value));
  EXPECT_FALSE(SplitRegistryArgument(u" HKEY_USERS\\x", false, root, path, value));
}

TEST(RegistryEvaluation, KeyWalkReportsOnlyTheActionsOwnKey) {
  const MemoryRegistry reg = ExampleRegistry();
  CTestResults results;
  results.Reset(nullptr);
  RegKey opened;
  ASSERT_EQ(reg.OpenKey(HKEY_CURRENT_USER, u"Software", KEY_READ, opened), ERROR_SUCCESS);
  EXPECT_EQ(GetRootDisplayName(opened), u"");
  EXPECT_EQ(GetRootDisplayName(RegKey::Root(HKEY_USERS)), u"Hkey_Users");
  // Below an opened key nothing is reported, but the walk still checks the subtree.
  EXPECT_EQ(EvaluateKey(results, reg, opened, u"Example\\Full", false), ERROR_SUCCESS);
  EXPECT_EQ(EvaluateKey(results, reg, opened, u"Example\\Locked", false), ERROR_ACCESS_DENIED);
  EXPECT_EQ(EvaluateKey(results, reg, opened, u"Example\\Missing", false), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(EvaluateKey(results, reg, opened, u"", false), ERROR_BADKEY);
  EXPECT_EQ(results.GetSize(), 0u);
  EXPECT_EQ(results.registry_keys_deleted, 0);
}

std::u16string DeepPath(int depth) {
  std::u16string path = u"Software\\Deep";
  for (int i = 0; i < depth; ++i) path += u"\\k";
  return path;
}

TEST(RegistryEvaluation, DeepTreesEndTheWalkInsteadOfTheStack) {
  MemoryRegistry reg;
  // As deep as a registry gets: walked and reported.
  reg.AddKey(HKEY_CURRENT_USER, DeepPath(int(kMaxKeyDepth)));
  EXPECT_EQ(Evaluate(reg, u"DELKEY=HKEY_CURRENT_USER\\Software\\Deep").keys, 1);

  // Deeper than any registry (a hostile export): not reported, no crash.
  reg.AddKey(HKEY_CURRENT_USER, DeepPath(5000));
  EXPECT_EQ(Evaluate(reg, u"DELKEY=HKEY_CURRENT_USER\\Software\\Deep").keys, 0);
}

TEST(RegistryEvaluation, LinkCyclesEnd) {
  MemoryRegistry reg;
  reg.SetString(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Loop", u"v", u"")
      .AddLink(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Loop\\Back", u"\\Registry\\Machine\\SOFTWARE\\Loop");
  Outcome out = Evaluate(reg, u"DELKEY=HKEY_LOCAL_MACHINE\\SOFTWARE\\Loop");
  EXPECT_TRUE(out.lines.empty());
  out = Evaluate(reg, u"EMPTYKEY=HKEY_LOCAL_MACHINE\\SOFTWARE\\Loop");
  EXPECT_TRUE(out.lines.empty());
}

TEST(RegistryEvaluation, AStopRequestEndsAWalkWithoutReporting) {
  const MemoryRegistry reg = ExampleRegistry();
  std::atomic<bool> stop{true};
  CTestResults results;
  results.Reset(nullptr);
  EXPECT_EQ(EvaluateKey(results, reg, RegKey::Root(HKEY_CURRENT_USER), u"Software\\Example\\Full",
                        false, RunStop(&stop)),
            kErrorRunStopped);
  EvaluateRegistryAction(results, reg, u"DELLIST=HKEY_CURRENT_USER\\Software\\Example\\List,",
                         RunStop(&stop));
  EXPECT_EQ(results.GetSize(), 0u);
}

}  // namespace
}  // namespace kestrel
