// Inputs the fuzz targets found harmful, kept under tests/fuzz/regressions/<target>/, go
// through the same loader calls as in the fuzzer; so do the seeds of tests/fuzz/corpus/,
// which must load (or, named bad_*, be refused), proving the calls reach the loaders at all.
#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/loaderinputs.h"
#include "tests/support/testsupport.h"

namespace {

typedef int (*Feed)(const uint8_t* data, size_t size);

std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (d == NULL)
        return names;
    while (dirent* entry = readdir(d))
        if (entry->d_name[0] != '.')
            names.push_back(entry->d_name);
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

int feedFile(Feed feed, const std::string& path)
{
    std::string bytes = readFile(path);
    return feed((const uint8_t*)bytes.data(), bytes.size());
}

class FuzzRegressions : public GameTest {
protected:
    void replay(const std::string& target, int level, Feed feed)
    {
        ASSERT_TRUE(loaderWorldUp(sourcePath("data").c_str(), level)) << errorText();

        std::string regressions = sourcePath("tests/fuzz/regressions/" + target);
        for (const std::string& name : filesIn(regressions)) {
            int before = loaderObjectsLeft();
            EXPECT_NE(feedFile(feed, regressions + "/" + name), LOADER_INCONSISTENT)
                << target << " regression " << name;
            EXPECT_EQ(loaderObjectsLeft(), before) << target << " regression " << name;
        }

        std::string corpus = sourcePath("tests/fuzz/corpus/" + target);
        std::vector<std::string> seeds = filesIn(corpus);
        EXPECT_FALSE(seeds.empty()) << "no seeds for " << target;
        for (const std::string& name : seeds) {
            int expected = name.compare(0, 4, "bad_") == 0 ? 0 : 1;
            int before = loaderObjectsLeft();
            EXPECT_EQ(feedFile(feed, corpus + "/" + name), expected)
                << target << " seed " << name << ":\n"
                << errorText();
            EXPECT_EQ(loaderObjectsLeft(), before) << target << " seed " << name;
        }
    }
};

TEST_F(FuzzRegressions, BitmapFiles)
{
    replay("bitmap", LOADER_WORLD_FILES, feedBitmapFile);
}

TEST_F(FuzzRegressions, PaletteFiles)
{
    replay("palette", LOADER_WORLD_FILES, feedPaletteFile);
}

TEST_F(FuzzRegressions, GraphicDescriptions)
{
    replay("graphic", LOADER_WORLD_DISPLAY, feedGraphicFile);
}

TEST_F(FuzzRegressions, MasterGraphicsLists)
{
    replay("master_graphics", LOADER_WORLD_DISPLAY, feedMasterGraphics);
}

TEST_F(FuzzRegressions, EnemyDescriptions)
{
    replay("enemy", LOADER_WORLD_GRAPHICS, feedEnemyFile);
}

TEST_F(FuzzRegressions, MasterEnemiesLists)
{
    replay("master_enemies", LOADER_WORLD_GRAPHICS, feedMasterEnemies);
}

TEST_F(FuzzRegressions, DeploymentOrders)
{
    replay("deployment", LOADER_WORLD_ENEMIES, feedDeploymentOrders);
}

} // namespace
