// The eight titles that come on one disc. They differ only in their row of
// the catalogue.
#include "launcher/catalogue.h"
#include "menu/bitmaps.h"
#include "titles/title.h"
#include "titles/two_disc_title.h"

namespace {

template <int Row>
class SingleDiscTitle : public Title {
public:
    SingleDiscTitle(int onCd, int titleIndex) : Title(onCd, titleIndex) {}

    void loadBoxArt() override { boxArtBitmap = loadBitmapResource(row().boxArtId); }
    const char *gameWindowClass() override { return row().gameWindowClass; }
    const char *discMarkerPath() override { return row().discMarkerPath; }
    ~SingleDiscTitle() override {}
    int isInstalled() override
    {
        return checkRegistryInstall(row().registryKey, row().valueName, row().gameExe);
    }
    int install() override { return runSetupFromOwnDir(row().setupProgram); }
    int play() override { return playFromInstallDir(row().gameExe, row().discMarkerPath); }
    const char *promptCaption() override { return row().promptCaption; }
    const char *promptText() override { return row().promptText; }
    const char *retryText() override { return row().retryText; }

private:
    static const TitleRow &row() { return titleCatalogue[Row]; }
};

typedef SingleDiscTitle<0> VolumeOneTitle;
typedef SingleDiscTitle<1> VolumeTwoTitle;
typedef SingleDiscTitle<2> VolumeThreeTitle;
typedef SingleDiscTitle<3> JockoTitle;
typedef SingleDiscTitle<4> GlimTitle;
typedef SingleDiscTitle<5> ReeliesTitle;
typedef SingleDiscTitle<7> NodialTitle;
typedef SingleDiscTitle<8> BrasherTitle;

} // namespace

Title *newTitle(int onCd, int titleIndex)
{
    switch (titleIndex) {
    case 0: return new VolumeOneTitle(onCd, titleIndex);
    case 1: return new VolumeTwoTitle(onCd, titleIndex);
    case 2: return new VolumeThreeTitle(onCd, titleIndex);
    case 3: return new JockoTitle(onCd, titleIndex);
    case 4: return new GlimTitle(onCd, titleIndex);
    case 5: return new ReeliesTitle(onCd, titleIndex);
    case 6: return new TwoDiscTitle(onCd, titleIndex);
    case 7: return new NodialTitle(onCd, titleIndex);
    case 8: return new BrasherTitle(onCd, titleIndex);
    default: return NULL;
    }
}
