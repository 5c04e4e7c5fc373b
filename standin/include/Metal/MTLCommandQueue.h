// Command queues and command buffers. A buffer runs when it is committed
// and every buffer enqueued before it on its queue has run. By default it
// runs at once on the committing thread, completion handlers included;
// the test control can move execution to one GPU worker thread.
#pragma once

#include <Metal/MTLCommandEncoder.h>
#include <Metal/MTLDrawable.h>

#include <functional>

class MTLDevice;
class MTLCommandQueue;
class MTLCommandBuffer;
typedef std::function<void(MTLCommandBuffer*)> MTLCommandBufferHandler;

namespace standin::mtl {
struct CommandBufferState;
struct QueueState;
}

class NS_EXPORT MTLCommandBuffer : public NSObject {
public:
  MTLDevice* device() const;
  MTLCommandQueue* commandQueue() const { return mQueue; }
  MTLCommandBufferStatus status() const;

  // Autoreleased encoders; one may be open at a time.
  MTLRenderCommandEncoder* renderCommandEncoderWithDescriptor(MTLRenderPassDescriptor* descriptor);
  MTLBlitCommandEncoder* blitCommandEncoder();

  void enqueue();
  void commit();
  void addCompletedHandler(MTLCommandBufferHandler block);
  void presentDrawable(MTLDrawable* drawable);
  void waitUntilScheduled();
  void waitUntilCompleted();
  const char* className() const override { return "MTLCommandBuffer"; }

  // Stand-in: runs the recorded passes (the GPU side).
  void execute();

protected:
  friend class MTLCommandQueue;
  explicit MTLCommandBuffer(MTLCommandQueue* queue);
  void dealloc() override;

private:
  friend class MTLCommandEncoder;
  bool OpenEncoder(const char* what);
  void EncoderEnded(MTLCommandEncoder* encoder);
  MTLCommandQueue* mQueue; // retained
  standin::mtl::CommandBufferState* mState;
};

class NS_EXPORT MTLCommandQueue : public NSObject {
public:
  MTLCommandBuffer* commandBuffer(); // autoreleased
  MTLDevice* device() const { return mDevice; }
  const char* className() const override { return "MTLCommandQueue"; }

  standin::mtl::QueueState& queueState() const { return *mQueueState; }

protected:
  friend class MTLDevice;
  explicit MTLCommandQueue(MTLDevice* device);
  void dealloc() override;

private:
  MTLDevice* mDevice;
  standin::mtl::QueueState* mQueueState;
};
