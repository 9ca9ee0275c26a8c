// ParameterCodes: the list of parameter codes a material or vertex program keeps for the
// device (which matrices and vectors to upload before a draw, see VertexProgram.h). It
// only stores and reads the numbers; what each code means belongs to the device.
#pragma once

template <int Capacity>
class ParameterCodes {
public:
    // Copies codes until a 0 or until Capacity are stored; null stores none.
    void store(const int* codes)
    {
        count_ = 0;
        if (codes == nullptr)
            return;
        while (count_ < Capacity && codes[count_] != 0) {
            codes_[count_] = codes[count_];
            ++count_;
        }
    }

    int count() const { return count_; }

    // Code by position; 0 outside 0..count()-1.
    int at(int index) const
    {
        if (index < 0 || index >= count_)
            return 0;
        return codes_[index];
    }

private:
    int codes_[Capacity] = {};
    int count_ = 0;
};
