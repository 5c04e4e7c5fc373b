// Command queues, command buffers and the one GPU that runs them.
#include "AutoreleasePool.h"
#include "MetalInternal.h"

#include <standin/Testing.h>

#include <thread>

using standin::mtl::CommandBufferState;
using standin::mtl::QueueState;
using standin::mtl::ValidationError;

namespace standin::mtl {
namespace {

// The GPU: runs buffers one at a time, in the order they became ready.
class Gpu {
public:
  static Gpu& Instance()
  {
    static Gpu* gpu = new Gpu(); // never destroyed: the worker may outlive statics
    return *gpu;
  }

  void Submit(MTLCommandBuffer* buffer)
  { // takes over one reference
    std::unique_lock<std::mutex> lock(mMutex);
    if (mMode == GPUExecution::Synchronous) {
      ++mBusy;
      lock.unlock();
      {
        // Handlers may commit more work; one buffer runs at a time.
        std::lock_guard<std::recursive_mutex> run(mRunMutex);
        Run(buffer);
      }
      lock.lock();
      --mBusy;
      mIdle.notify_all();
      return;
    }
    mReady.push_back(buffer);
    mWake.notify_all();
  }

  void SetMode(GPUExecution mode)
  {
    WaitIdle();
    std::unique_lock<std::mutex> lock(mMutex);
    mMode = mode;
    if (mode == GPUExecution::WorkerThread && !mWorkerStarted) {
      mWorkerStarted = true;
      std::thread([this] { Work(); }).detach();
    }
  }
  GPUExecution Mode()
  {
    std::lock_guard<std::mutex> lock(mMutex);
    return mMode;
  }
  void SetPaused(bool paused)
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mPaused = paused;
    mWake.notify_all();
  }
  void WaitIdle()
  {
    std::unique_lock<std::mutex> lock(mMutex);
    mPaused = false;
    mWake.notify_all();
    mIdle.wait(lock, [this] { return mReady.empty() && mBusy == 0; });
  }

private:
  static void Run(MTLCommandBuffer* buffer)
  {
    const std::size_t pool = standin::PushAutoreleasePool();
    buffer->execute();
    standin::PopAutoreleasePool(pool);
    buffer->release();
  }

  void Work()
  {
    std::unique_lock<std::mutex> lock(mMutex);
    for (;;) {
      mWake.wait(lock, [this] { return !mReady.empty() && !mPaused; });
      MTLCommandBuffer* buffer = mReady.front();
      mReady.pop_front();
      ++mBusy;
      lock.unlock();
      {
        std::lock_guard<std::recursive_mutex> run(mRunMutex);
        Run(buffer);
      }
      lock.lock();
      --mBusy;
      mIdle.notify_all();
    }
  }

  std::mutex mMutex;
  std::condition_variable mWake, mIdle;
  std::recursive_mutex mRunMutex;
  std::deque<MTLCommandBuffer*> mReady;
  GPUExecution mMode = GPUExecution::Synchronous;
  bool mPaused = false;
  bool mWorkerStarted = false;
  int mBusy = 0;
};

} // namespace

void SubmitReady(QueueState& queue)
{
  for (;;) {
    MTLCommandBuffer* next = nullptr;
    {
      std::lock_guard<std::mutex> lock(queue.mutex);
      if (queue.pending.empty() || queue.pending.front()->status() != MTLCommandBufferStatusCommitted)
        return;
      next = queue.pending.front();
      queue.pending.pop_front();
    }
    Gpu::Instance().Submit(next);
  }
}

void ResetGPU()
{
  Gpu::Instance().SetMode(GPUExecution::Synchronous);
  SetGPUBandThreads(0);
  ClearGPUValidationErrors();
}

} // namespace standin::mtl

namespace standin {
void SetGPUExecution(GPUExecution mode) { mtl::Gpu::Instance().SetMode(mode); }
GPUExecution CurrentGPUExecution() { return mtl::Gpu::Instance().Mode(); }
void SetGPUPaused(bool paused) { mtl::Gpu::Instance().SetPaused(paused); }
void WaitForGPUIdle() { mtl::Gpu::Instance().WaitIdle(); }
} // namespace standin

// ---- Queue ---------------------------------------------------------------------

MTLCommandQueue::MTLCommandQueue(MTLDevice* device) : mDevice(device), mQueueState(new QueueState()) {}

void MTLCommandQueue::dealloc()
{
  delete mQueueState; // enqueued buffers retain the queue, so none is left here
  NSObject::dealloc();
}

MTLCommandBuffer* MTLCommandQueue::commandBuffer()
{
  return static_cast<MTLCommandBuffer*>((new MTLCommandBuffer(this))->autorelease());
}

// ---- Command buffer ---------------------------------------------------------

MTLCommandBuffer::MTLCommandBuffer(MTLCommandQueue* queue) : mQueue(queue), mState(new CommandBufferState())
{
  mQueue->retain();
}

void MTLCommandBuffer::dealloc()
{
  for (MTLDrawable* d : mState->drawables)
    d->release();
  delete mState;
  mQueue->release();
  NSObject::dealloc();
}

MTLDevice* MTLCommandBuffer::device() const { return mQueue->device(); }

MTLCommandBufferStatus MTLCommandBuffer::status() const
{
  std::lock_guard<std::mutex> lock(mState->mutex);
  return mState->status;
}

bool MTLCommandBuffer::OpenEncoder(const char* what)
{
  std::lock_guard<std::mutex> lock(mState->mutex);
  if (mState->status >= MTLCommandBufferStatusCommitted) {
    ValidationError(std::string(what) + ": the command buffer is already committed");
    return false;
  }
  if (mState->openEncoder) {
    ValidationError(std::string(what) + ": the previous encoder has not ended");
    return false;
  }
  return true;
}

MTLRenderCommandEncoder* MTLCommandBuffer::renderCommandEncoderWithDescriptor(MTLRenderPassDescriptor* d)
{
  if (!d || !OpenEncoder("renderCommandEncoderWithDescriptor"))
    return nullptr;
  auto pass = std::make_unique<standin::mtl::RenderPassRecord>();
  MTLRenderPassColorAttachmentDescriptor* c = d->colorAttachments()->objectAtIndexedSubscript(0);
  MTLRenderPassStencilAttachmentDescriptor* s = d->stencilAttachment();
  if (!c->texture() && !s->texture()) {
    ValidationError("renderCommandEncoderWithDescriptor: no attachment");
    return nullptr;
  }
  if (c->texture() && (!(c->texture()->usage() & MTLTextureUsageRenderTarget) ||
                       !standin::mtl::IsColorFormat(c->texture()->pixelFormat()))) {
    ValidationError("renderCommandEncoderWithDescriptor: the colour texture is not a colour render target");
    return nullptr;
  }
  if (s->texture() && (!(s->texture()->usage() & MTLTextureUsageRenderTarget) ||
                       s->texture()->pixelFormat() != MTLPixelFormatStencil8)) {
    ValidationError("renderCommandEncoderWithDescriptor: the stencil texture is not a stencil render target");
    return nullptr;
  }
  if (c->texture() && s->texture() &&
      (c->texture()->width() > s->texture()->width() || c->texture()->height() > s->texture()->height()))
    ValidationError("renderCommandEncoderWithDescriptor: the stencil texture is smaller than the colour texture");
  pass->color.texture = c->texture();
  pass->color.load = c->loadAction();
  pass->color.store = c->storeAction();
  pass->color.clearColor = c->clearColor();
  pass->stencil.texture = s->texture();
  pass->stencil.load = s->loadAction();
  pass->stencil.store = s->storeAction();
  pass->stencil.clearStencil = s->clearStencil();
  if (pass->color.texture)
    pass->color.texture->retain();
  if (pass->stencil.texture)
    pass->stencil.texture->retain();
  auto* encoder = new MTLRenderCommandEncoder(this, pass.get());
  std::lock_guard<std::mutex> lock(mState->mutex);
  mState->passes.push_back(std::move(pass));
  mState->openEncoder = encoder;
  return static_cast<MTLRenderCommandEncoder*>(encoder->autorelease());
}

MTLBlitCommandEncoder* MTLCommandBuffer::blitCommandEncoder()
{
  if (!OpenEncoder("blitCommandEncoder"))
    return nullptr;
  auto pass = std::make_unique<standin::mtl::BlitPassRecord>();
  auto* encoder = new MTLBlitCommandEncoder(this, pass.get());
  std::lock_guard<std::mutex> lock(mState->mutex);
  mState->passes.push_back(std::move(pass));
  mState->openEncoder = encoder;
  return static_cast<MTLBlitCommandEncoder*>(encoder->autorelease());
}

void MTLCommandBuffer::EncoderEnded(MTLCommandEncoder* encoder)
{
  std::lock_guard<std::mutex> lock(mState->mutex);
  if (mState->openEncoder == encoder)
    mState->openEncoder = nullptr;
}

void MTLCommandBuffer::enqueue()
{
  {
    std::lock_guard<std::mutex> lock(mState->mutex);
    if (mState->status != MTLCommandBufferStatusNotEnqueued)
      return;
    mState->status = MTLCommandBufferStatusEnqueued;
  }
  retain(); // the queue holds it until it has run
  std::lock_guard<std::mutex> lock(mQueue->queueState().mutex);
  mQueue->queueState().pending.push_back(this);
}

void MTLCommandBuffer::commit()
{
  enqueue();
  {
    std::lock_guard<std::mutex> lock(mState->mutex);
    if (mState->status != MTLCommandBufferStatusEnqueued) {
      ValidationError("commit: the command buffer was committed before");
      return;
    }
    if (mState->openEncoder) {
      ValidationError("commit: an encoder has not ended; its commands are dropped");
      mState->passes.pop_back();
      mState->openEncoder->mEnded = true;
      mState->openEncoder = nullptr;
    }
    mState->status = MTLCommandBufferStatusCommitted;
  }
  standin::mtl::SubmitReady(mQueue->queueState());
}

void MTLCommandBuffer::addCompletedHandler(MTLCommandBufferHandler block)
{
  std::lock_guard<std::mutex> lock(mState->mutex);
  if (mState->status >= MTLCommandBufferStatusCommitted) {
    ValidationError("addCompletedHandler: the command buffer is already committed");
    return;
  }
  mState->completed.push_back(std::move(block));
}

void MTLCommandBuffer::presentDrawable(MTLDrawable* drawable)
{
  if (!drawable)
    return;
  std::lock_guard<std::mutex> lock(mState->mutex);
  if (mState->status >= MTLCommandBufferStatusCommitted) {
    ValidationError("presentDrawable: the command buffer is already committed");
    return;
  }
  drawable->retain();
  mState->drawables.push_back(drawable);
}

void MTLCommandBuffer::waitUntilScheduled()
{
  std::unique_lock<std::mutex> lock(mState->mutex);
  if (mState->status < MTLCommandBufferStatusCommitted) {
    ValidationError("waitUntilScheduled: the command buffer is not committed");
    return;
  }
  mState->changed.wait(lock, [this] { return mState->status >= MTLCommandBufferStatusScheduled; });
}

void MTLCommandBuffer::waitUntilCompleted()
{
  std::unique_lock<std::mutex> lock(mState->mutex);
  if (mState->status < MTLCommandBufferStatusCommitted) {
    ValidationError("waitUntilCompleted: the command buffer is not committed");
    return;
  }
  mState->changed.wait(lock, [this] { return mState->done; });
}

void MTLCommandBuffer::execute()
{
  {
    std::lock_guard<std::mutex> lock(mState->mutex);
    mState->status = MTLCommandBufferStatusScheduled;
  }
  mState->changed.notify_all();
  for (auto& pass : mState->passes)
    pass->Execute();
  for (MTLDrawable* d : mState->drawables)
    d->present();
  std::vector<MTLCommandBufferHandler> handlers;
  {
    std::lock_guard<std::mutex> lock(mState->mutex);
    mState->status = MTLCommandBufferStatusCompleted;
    handlers.swap(mState->completed);
  }
  for (auto& handler : handlers)
    handler(this);
  {
    std::lock_guard<std::mutex> lock(mState->mutex);
    mState->done = true;
    mState->passes.clear(); // lets go of the recorded objects
  }
  mState->changed.notify_all();
}
