// WQKport.cfg is replaced only once its new contents are all out.
#include "port/config_file.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(PortConfigWrite, AFailedWriteKeepsTheLastGoodFile) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(portcfg::FileName).toStdString();
    ASSERT_TRUE(portcfg::write(path, 1));
    // A file-size limit of one byte stands in for a full disk; the child keeps it to itself.
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit oneByte{1, 1};
        _exit(setrlimit(RLIMIT_FSIZE, &oneByte) == 0 && !portcfg::write(path, 2) ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the failed write was reported";
    EXPECT_EQ(portcfg::read(path), 1.0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "temporary left";
    // A link put in the file's place is replaced, not followed to what it points at.
    const std::string target = dir.filePath("elsewhere").toStdString();
    ASSERT_TRUE(portcfg::write(target, 2));
    ASSERT_EQ(unlink(path.c_str()) | symlink(target.c_str(), path.c_str()), 0);
    ASSERT_TRUE(portcfg::write(path, 3));
    EXPECT_EQ(portcfg::read(path), 3.0);
    EXPECT_EQ(portcfg::read(target), 2.0);
}
