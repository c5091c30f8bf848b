// The GPU buffers of one registered emitter: the seed vertices of its
// particle descriptions and the two stream buffers that the particle pass
// reads and writes in turn (each with its own transform feedback object,
// which remembers how many records the last stream-out wrote). Owned by
// RenderDevice for the whole run and lent to one ParticleEmmiter at a time;
// a returned record is reused with its stream buffers. Main thread only.
#pragma once
#include <memory>

class GpuBuffer;

struct EmitterBuffers {
    static constexpr unsigned kRecordBytes = 136;
    static constexpr unsigned kStreamCapacity = 5000;  // records per stream buffer
    static constexpr unsigned kStreamBufferBytes = kRecordBytes * kStreamCapacity;

    // The next stream-out reads the seed buffer (an explicit count) instead
    // of the previous stream.
    bool seedPending = true;
    std::shared_ptr<GpuBuffer> streamBuffers[2];
    std::shared_ptr<GpuBuffer> seedBuffer;
    unsigned readIndex = 0;   // stream buffer drawn this frame
    unsigned writeIndex = 1;  // stream buffer written this frame
    bool buffersCreated = false;
    unsigned stride = kRecordBytes;
    unsigned offset = 0;
    unsigned seedCount = 0;  // seed vertices, one per particle description
};
