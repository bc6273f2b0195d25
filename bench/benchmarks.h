// The benchmark groups, each registering its straightforward and fast variants in pairs.
#pragma once

void registerReaderBenchmarks();
void registerShapeBenchmarks();
void registerFitBenchmarks();
void registerRunBenchmarks();
void registerBoundsBenchmarks();
void registerPrepareBenchmarks();
void registerFitCallBenchmarks();
