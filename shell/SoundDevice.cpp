#include "SoundDevice.h"

#include "QuietAudio.h"

#include <OgreLogManager.h>

#include <AL/al.h>
#include <AL/alext.h>

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace {
// Enough for a shot, a few impacts and the rules' signals at once; the oldest gives way beyond that.
const int ONE_SHOT_SOURCES = 24;

void logLine(const std::string& line)
{
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage("Sound: " + line);
}

// libsndfile reads the file's bytes from memory: no file is opened after start-up.
struct MemoryFile
{
    const std::string& bytes;
    sf_count_t at;
};

sf_count_t memoryLength(void* file)
{
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(file)->bytes.size());
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* data)
{
    MemoryFile* file = static_cast<MemoryFile*>(data);
    const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? file->at : memoryLength(data);
    file->at = std::clamp<sf_count_t>(base + offset, 0, memoryLength(data));
    return file->at;
}

sf_count_t memoryRead(void* out, sf_count_t count, void* data)
{
    MemoryFile* file = static_cast<MemoryFile*>(data);
    const sf_count_t n = std::min(count, memoryLength(data) - file->at);
    std::memcpy(out, file->bytes.data() + file->at, static_cast<size_t>(n));
    file->at += n;
    return n;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t memoryTell(void* data)
{
    return static_cast<MemoryFile*>(data)->at;
}
}

SoundDevice::SoundDevice(Output output) : mLoopback(output == Output::Loopback)
{
    keepAudioReportsOffTheTerminal();
    ALCint attributes[] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    if (mLoopback) {
        if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
            fail("the OpenAL library has no loopback device");
            return;
        }
        auto open =
            reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        mDevice = open(nullptr);
        const ALCint loopbackAttributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                             ALC_STEREO_SOFT,
                                             ALC_FORMAT_TYPE_SOFT,
                                             ALC_SHORT_SOFT,
                                             ALC_FREQUENCY,
                                             LOOPBACK_RATE,
                                             ALC_HRTF_SOFT,
                                             ALC_FALSE,
                                             0};
        std::copy(std::begin(loopbackAttributes), std::end(loopbackAttributes), attributes);
    } else {
        mDevice = alcOpenDevice(nullptr);
    }
    if (!mDevice) {
        fail("no audio device could be opened");
        return;
    }
    mContext = alcCreateContext(mDevice, attributes);
    if (!mContext || !alcMakeContextCurrent(mContext)) {
        fail("the audio device refused a context");
        return;
    }
    alGetError();
    mSources.resize(ONE_SHOT_SOURCES);
    alGenSources(ONE_SHOT_SOURCES, mSources.data());
    alGenSources(1, &mLoopSource);
    if (alGetError() != AL_NO_ERROR) {
        mSources.clear();
        mLoopSource = 0;
        fail("the audio device has no voices to play on");
        return;
    }
    alSourcei(mLoopSource, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcei(mLoopSource, AL_LOOPING, AL_TRUE);
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    const ALCchar* name = alcGetString(mDevice, ALC_DEVICE_SPECIFIER);
    logLine(std::string("playing through ") + (name ? name : "an unnamed device"));
}

SoundDevice::~SoundDevice()
{
    if (mContext) {
        alSourceStopv(static_cast<ALsizei>(mSources.size()), mSources.data());
        alSourceStop(mLoopSource);
        alDeleteSources(static_cast<ALsizei>(mSources.size()), mSources.data());
        alDeleteSources(1, &mLoopSource);
        alDeleteBuffers(static_cast<ALsizei>(mBuffers.size()), mBuffers.data());
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(mContext);
    }
    if (mDevice)
        alcCloseDevice(mDevice);
}

void SoundDevice::fail(const std::string& why)
{
    logLine(why + "; the game runs silent");
    if (mContext) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(mContext);
        mContext = nullptr;
    }
}

unsigned int SoundDevice::load(const std::string& name, const std::string& bytes)
{
    if (!ready())
        return 0;
    MemoryFile file{bytes, 0};
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO info{};
    SNDFILE* sound = sf_open_virtual(&io, SFM_READ, &info, &file);
    if (!sound) {
        logLine(name + ": " + sf_strerror(nullptr) + "; that sound stays silent");
        return 0;
    }
    std::vector<short> samples(static_cast<size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_short(sound, samples.data(), info.frames);
    sf_close(sound);
    if (read <= 0 || info.channels < 1 || info.channels > 2) {
        logLine(name + ": no sound of one or two channels in it; that sound stays silent");
        return 0;
    }
    alGetError();
    unsigned int buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, info.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, samples.data(),
                 static_cast<ALsizei>(read * info.channels * static_cast<sf_count_t>(sizeof(short))), info.samplerate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        logLine(name + ": the audio device refused its samples; that sound stays silent");
        return 0;
    }
    mBuffers.push_back(buffer);
    return buffer;
}

void SoundDevice::setReferenceDistance(float reference)
{
    for (unsigned int source : mSources)
        alSourcef(source, AL_REFERENCE_DISTANCE, reference);
}

unsigned int SoundDevice::nextSource()
{
    // The first idle one after the last used; with none idle, the one after the last used, which
    // is the one that started longest ago.
    for (size_t i = 0; i < mSources.size(); ++i) {
        const unsigned int source = mSources[(mNextSource + i) % mSources.size()];
        ALint state = AL_STOPPED;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING) {
            mNextSource = (mNextSource + i + 1) % mSources.size();
            return source;
        }
    }
    const unsigned int oldest = mSources[mNextSource];
    mNextSource = (mNextSource + 1) % mSources.size();
    alSourceStop(oldest);
    return oldest;
}

void SoundDevice::play(unsigned int buffer, const Ogre::Vector3& position, float gain, float pitch, bool relative)
{
    if (!ready() || buffer == 0)
        return;
    const unsigned int source = nextSource();
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(source, AL_SOURCE_RELATIVE, relative ? AL_TRUE : AL_FALSE);
    alSource3f(source, AL_POSITION, position.x, position.y, position.z);
    alSourcef(source, AL_GAIN, gain);
    alSourcef(source, AL_PITCH, pitch);
    alSourcePlay(source);
}

void SoundDevice::loop(unsigned int buffer, float gain, float pitch)
{
    if (!ready() || buffer == 0)
        return;
    alSourcef(mLoopSource, AL_GAIN, gain);
    alSourcef(mLoopSource, AL_PITCH, pitch);
    if (!mLoopPlaying) {
        alSourcei(mLoopSource, AL_BUFFER, static_cast<ALint>(buffer));
        alSourcePlay(mLoopSource);
        mLoopPlaying = true;
    }
}

void SoundDevice::stopLoop()
{
    if (!ready() || !mLoopPlaying)
        return;
    alSourceStop(mLoopSource);
    mLoopPlaying = false;
}

void SoundDevice::setListener(const Ogre::Vector3& position, const Ogre::Vector3& forward, const Ogre::Vector3& up)
{
    if (!ready())
        return;
    // Both libraries are right-handed with y up, so the camera's axes are the listener's.
    const float orientation[] = {forward.x, forward.y, forward.z, up.x, up.y, up.z};
    alListener3f(AL_POSITION, position.x, position.y, position.z);
    alListenerfv(AL_ORIENTATION, orientation);
}

void SoundDevice::setEnabled(bool enabled)
{
    mEnabled = enabled;
    if (ready())
        alListenerf(AL_GAIN, enabled ? mVolume : 0.0f);
}

void SoundDevice::setVolume(float volume)
{
    mVolume = volume < 0 ? 0 : volume > 1 ? 1 : volume;
    setEnabled(mEnabled);
}

std::vector<short> SoundDevice::render(int frames)
{
    if (!ready() || !mLoopback)
        return {};
    static auto renderSamples =
        reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(mDevice, "alcRenderSamplesSOFT"));
    std::vector<short> samples(static_cast<size_t>(frames) * 2);
    renderSamples(mDevice, samples.data(), frames);
    return samples;
}
