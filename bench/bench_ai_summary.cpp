// Laying out the export dialog's AI summary when it is one unbroken run of text (no blank, no line
// break): the capped length (64 K characters, all a summary can hold) and 200 K, beyond the cap, in
// the view the dialog shows it in. Target: no freeze, under a second at the cap. Measured (8 cores,
// Xvfb): 64 K wrapped anywhere into about 740 lines, 250 ms; 200 K, 1.4 s (kept out by the cap).
#include "support/ExportSamples.h"
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/TestSettings.h"

#include "services/openai/OpenAIService.h"
#include "services/usage/ActivityGrouping.h"
#include "ui/reports/ExportView.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <benchmark/benchmark.h>

namespace {
void BM_AISummaryUnbrokenRunLayout(benchmark::State& state) {
    FakeHttpServer server;
    TestSettings settings;
    InMemoryKeychain keychain;
    OpenAIService openAI(keychain, settings, server.baseUrl());
    ActivityGrouping grouping(settings);
    QWidget window;
    window.resize(700, 500);
    auto* dialog = new ExportView(exportsamples::day(), openAI, grouping, &window);
    QPlainTextEdit* view = dialog->aiSummaryView();
    view->setVisible(true);
    window.show();
    QApplication::processEvents();

    const QString run(qsizetype(state.range(0)), QLatin1Char('x'));
    qreal height = 0;
    for (auto _ : state) {
        view->setPlainText(run);
        // The whole block laid out (the view lays out lazily), then one paint of what shows.
        height =
            view->document()->documentLayout()->blockBoundingRect(view->document()->firstBlock()).height();
        const QPixmap shown = view->viewport()->grab();
        benchmark::DoNotOptimize(shown.cacheKey());
    }
    state.counters["lines"] = height / view->fontMetrics().lineSpacing();
    delete dialog;
}
BENCHMARK(BM_AISummaryUnbrokenRunLayout)->Arg(64 * 1024)->Arg(200 * 1024)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
