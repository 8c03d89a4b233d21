// sink_feed_probe: exits 1, saying why, when Qt's audio sink for the default output no longer has
// the feed routine the program calls to start a bell at once (run with a sound server up).

#include <QCoreApplication>
#include <cstdio>

#include "ringing/audio/PcmSink.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (tolvane::qtSinkFeedsAtOnce()) return 0;
    std::fprintf(stderr,
                 "sink_feed_probe: Qt's audio sink has no userFeed() routine (or no output): "
                 "every bell would start one 20 ms period late; see AudioSinkOutput.cpp\n");
    return 1;
}
