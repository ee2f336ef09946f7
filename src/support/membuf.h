// A read-only, seekable stream buffer over memory that it does not own or copy.
#pragma once
#include <cstddef>
#include <streambuf>

namespace vh {

template <typename Char, typename Traits = std::char_traits<Char>>
class basic_membuf : public std::basic_streambuf<Char, Traits> {
public:
    using base = std::basic_streambuf<Char, Traits>;
    using typename base::off_type;
    using typename base::pos_type;

    basic_membuf() = default;
    basic_membuf(const Char* data, std::size_t size)
    {
        Char* p = const_cast<Char*>(data);   // never written: there is no put area
        this->setg(p, p, p + size);
    }

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override
    {
        if (!(which & std::ios_base::in)) return pos_type(off_type(-1));
        off_type base_pos = dir == std::ios_base::beg ? 0
                          : dir == std::ios_base::cur ? this->gptr() - this->eback()
                                                      : this->egptr() - this->eback();
        off_type target = base_pos + off;
        if (target < 0 || target > this->egptr() - this->eback()) return pos_type(off_type(-1));
        this->setg(this->eback(), this->eback() + target, this->egptr());
        return pos_type(target);
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override
    {
        return seekoff(off_type(pos), std::ios_base::beg, which);
    }
};

using membuf = basic_membuf<char>;

} // namespace vh
