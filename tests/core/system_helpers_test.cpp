#include "core/system_helpers.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

extern char** environ;

namespace relaybird {
namespace {

using test::TTempDir;

// Children started by a test; whatever is still alive at the end is reaped.
class TChildren {
 public:
  ~TChildren() {
    for (const pid_t Pid : FPids) {
      kill(Pid, SIGKILL);
      waitpid(Pid, nullptr, 0);
    }
  }
  void Add(pid_t Pid) { FPids.push_back(Pid); }
  // The signal that ended the child, 0 when it ended otherwise.
  int WaitForEnd(pid_t Pid) {
    int Status = 0;
    if (waitpid(Pid, &Status, 0) != Pid) return 0;
    std::erase(FPids, Pid);
    return WIFSIGNALED(Status) ? WTERMSIG(Status) : 0;
  }
  const std::vector<pid_t>& Pids() const { return FPids; }

 private:
  std::vector<pid_t> FPids;
};

// Starts a copy of sleep under the given path. posix_spawn returns only once
// the child has run its new image, so /proc already shows the new name.
pid_t StartSleeper(const std::string& Path) {
  char* Args[] = {const_cast<char*>(Path.c_str()), const_cast<char*>("300"), nullptr};
  pid_t Pid = 0;
  if (posix_spawn(&Pid, Path.c_str(), nullptr, nullptr, Args, environ) != 0) return 0;
  return Pid;
}

std::string Unique(const std::string& Prefix) { return Prefix + std::to_string(getpid()); }

std::string MixCase(std::string Text) {
  for (std::size_t i = 0; i < Text.size(); i += 2) Text[i] = static_cast<char>(std::toupper(Text[i]));
  return Text;
}

TEST(KillProcessesByNameTest, TerminatesEveryProcessOfThatImage) {
  TTempDir Dir;
  // A short name is seen in comm and in the exe link; a long one only in the
  // exe link, as comm keeps 15 characters.
  const std::string ShortName = Unique("rbs");
  const std::string LongName = Unique("relaybird-long-sleeper-");
  struct TCase {
    std::string Image;
    std::string Asked;
  };
  const TCase Cases[] = {
      {ShortName, MixCase(ShortName)},
      {LongName, MixCase(LongName)},
      {LongName, Dir.Path() + LongName},
  };
  for (const TCase& Case : Cases) {
    const std::string Path = Dir.Path() + Case.Image;
    std::filesystem::copy_file("/bin/sleep", Path, std::filesystem::copy_options::overwrite_existing);
    TChildren Children;
    for (int i = 0; i < 2; ++i) {
      const pid_t Pid = StartSleeper(Path);
      ASSERT_GT(Pid, 0);
      Children.Add(Pid);
    }
    EXPECT_TRUE(KillProcessesByName(Case.Asked)) << Case.Asked;
    for (const pid_t Pid : std::vector<pid_t>(Children.Pids())) {
      EXPECT_EQ(Children.WaitForEnd(Pid), SIGTERM) << Case.Asked;
    }
  }
}

TEST(KillProcessesByNameTest, SparesTheCaller) {
  const std::string Name = Unique("rbself");
  char OldName[16] = {};
  ASSERT_EQ(prctl(PR_GET_NAME, OldName), 0);
  ASSERT_EQ(prctl(PR_SET_NAME, Name.c_str()), 0);
  TChildren Children;
  const pid_t Pid = fork();
  if (Pid == 0) {
    for (;;) pause();
  }
  ASSERT_GT(Pid, 0);
  Children.Add(Pid);
  // The caller and its child carry the same name; only the child may go.
  const bool Killed = KillProcessesByName(Name);
  prctl(PR_SET_NAME, OldName);
  EXPECT_TRUE(Killed);
  EXPECT_EQ(Children.WaitForEnd(Pid), SIGTERM);
  EXPECT_FALSE(KillProcessesByName(Name));
}

TEST(KillProcessesByNameTest, FalseWhenNothingMatches) {
  EXPECT_FALSE(KillProcessesByName(Unique("no-such-image-")));
  EXPECT_FALSE(KillProcessesByName(""));
}

TEST(GrantServiceLogonRightTest, AccountWithoutDomainIsRefusedFirst) {
  EXPECT_EQ(GrantServiceLogonRight("root", "whatever"), 254);
  EXPECT_EQ(GrantServiceLogonRight("", ""), 254);
}

// A local account made for these tests and removed after them.
class GrantServiceLogonRightAccountTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (geteuid() != 0) return;
    const std::string Create = "/usr/sbin/useradd --no-create-home --no-user-group --shell /usr/sbin/nologin " + UserName();
    const std::string SetPassword = "echo '" + UserName() + ":" + Password + "' | /usr/sbin/chpasswd";
    FCreated = std::system(Create.c_str()) == 0 && std::system(SetPassword.c_str()) == 0;
  }
  static void TearDownTestSuite() {
    if (geteuid() == 0) std::system(("/usr/sbin/userdel " + UserName() + " 2>/dev/null").c_str());
  }
  void SetUp() override {
    const char* Ci = std::getenv("CI");
    if (geteuid() != 0 && !(Ci && std::string(Ci) == "true")) GTEST_SKIP() << "needs root to create an account";
    ASSERT_TRUE(FCreated) << "could not create the account " << UserName();
  }
  static std::string UserName() { return Unique("rbtest"); }
  static constexpr const char* Password = "Kx7-relay-Pw";

 private:
  static inline bool FCreated = false;
};

TEST_F(GrantServiceLogonRightAccountTest, CorrectPasswordIsAccepted) {
  EXPECT_EQ(GrantServiceLogonRight("anyhost\\" + UserName(), Password), 1);
}

TEST_F(GrantServiceLogonRightAccountTest, RejectedCredentials) {
  EXPECT_EQ(GrantServiceLogonRight("anyhost\\" + UserName(), "wrong"), 253);
  EXPECT_EQ(GrantServiceLogonRight("anyhost\\" + Unique("rbnobody"), Password), 253);
}

}  // namespace
}  // namespace relaybird
