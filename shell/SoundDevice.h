// 3D sound through OpenAL: one device and context, buffers decoded whole at start-up, a small pool
// of one-shot sources and one looping voice. Knows nothing of any game. Without a working device
// every call does nothing, so a program with no sound hardware runs silent.
#pragma once

#include <OgreVector.h>

#include <AL/alc.h>

#include <string>
#include <vector>

class SoundDevice
{
public:
    enum class Output
    {
        Speakers, // the system's default device, mixed on the library's own thread
        Loopback  // nothing is heard: render() mixes on demand (tests)
    };
    static constexpr int LOOPBACK_RATE = 44100;

    explicit SoundDevice(Output output);
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    bool ready() const { return mContext != nullptr; }

    // Decodes a whole sound file (its bytes, named for the log) into a buffer. Returns 0, after one
    // log line, when there is no device or the file cannot be decoded; playing buffer 0 does nothing.
    unsigned int load(const std::string& name, const std::string& bytes);

    // Where sounds fade with distance: full gain within `reference` units, then inversely.
    void setReferenceDistance(float reference);
    // Plays a buffer once at a world position; `relative` places it at an offset from the listener.
    void play(unsigned int buffer, const Ogre::Vector3& position, float gain, float pitch, bool relative = false);
    // The looping voice, at the listener: starts it or changes its gain and pitch.
    void loop(unsigned int buffer, float gain, float pitch);
    void stopLoop();
    bool looping() const { return mLoopPlaying; }

    void setListener(const Ogre::Vector3& position, const Ogre::Vector3& forward, const Ogre::Vector3& up);
    void setEnabled(bool enabled);
    bool enabled() const { return mEnabled; }
    // Overall loudness, 0 to 1, heard while enabled.
    void setVolume(float volume);
    float volume() const { return mVolume; }

    // Loopback only: mixes the next `frames` frames of what plays, interleaved stereo 16-bit at
    // LOOPBACK_RATE. Empty for any other output.
    std::vector<short> render(int frames);

private:
    void fail(const std::string& why);
    unsigned int nextSource();

    ALCdevice* mDevice = nullptr;
    ALCcontext* mContext = nullptr;
    bool mLoopback = false;
    bool mEnabled = true;
    float mVolume = 1;
    bool mLoopPlaying = false;
    std::vector<unsigned int> mSources;
    size_t mNextSource = 0;
    unsigned int mLoopSource = 0;
    std::vector<unsigned int> mBuffers;
};
