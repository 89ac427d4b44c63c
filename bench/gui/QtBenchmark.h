// The main of a desktop benchmark: the offscreen platform unless another is asked for, one
// QApplication for every benchmark, and the working folder `ordner` removed at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

inline int QtBenchmarksLaufen(int argc, char** argv, const std::filesystem::path& ordner) {
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code egal;
  std::filesystem::remove_all(ordner, egal);
  return 0;
}
