// The window thread's longest stall when self-voicing is first turned on.
//
// A timer ticks every 10 ms on the window's thread; 200 ms in, the desktop's
// speaker is asked what V asks of it (can it speak, has it a voice, say the
// page), and the longest gap between two ticks is measured over the next
// seconds, beside the time until the engine had started. Run it where a speech
// service answers (bench/voicing_stall.sh starts one of its own).
//
//   voicing_stall [SECONDS]

#include "presentation/window/qt_speaker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 12;
    vorn::QtSpeaker speaker(0, QString());
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0, settledAt = -1, askedAt = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (askedAt > 0) longest = std::max(longest, now - last);
        last = now;
    });
    tick.start(10);
    speaker.setOnSettled([&] { settledAt = clock.elapsed(); });
    QTimer::singleShot(200, [&] {
        askedAt = last = clock.elapsed();
        const bool able = speaker.available();
        speaker.hasVoice(vorn::SpeechLanguage::Latin);
        speaker.say("The lantern road.", vorn::SpeechLanguage::Latin);
        std::printf("asked: available %s after %lld ms\n", able ? "yes" : "no",
                    static_cast<long long>(clock.elapsed() - askedAt));
    });
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    app.exec();
    std::printf("longest stall of the window's thread: %lld ms\n", static_cast<long long>(longest));
    if (settledAt >= 0) std::printf("engine started: %lld ms after the ask\n", static_cast<long long>(settledAt - askedAt));
    std::printf("known voices: %lld\n", static_cast<long long>(speaker.knownVoices().size()));
    return 0;
}
