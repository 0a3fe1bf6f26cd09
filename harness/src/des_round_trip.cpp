#include "harness/des_round_trip.h"

namespace harness {

DesRoundTrip RunDesRoundTrip(IUserDES& des, const DesWords& key, const DesWords& data)
{
    DesRoundTrip trip;
    DesWords block = data;
    if (const HRESULT hr = des.SetKey(key.data()); FAILED(hr)) {
        trip.failure = FailedStatus("IUserDES::SetKey", hr);
        return trip;
    }
    if (const HRESULT hr = des.Encrypt(block.data()); FAILED(hr)) {
        trip.failure = FailedStatus("IUserDES::Encrypt", hr);
        return trip;
    }
    trip.encoded = block;
    if (const HRESULT hr = des.Decrypt(block.data()); FAILED(hr)) {
        trip.failure = FailedStatus("IUserDES::Decrypt", hr);
        return trip;
    }
    trip.decoded = block;
    return trip;
}

}  // namespace harness
