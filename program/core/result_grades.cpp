#include "core/result_grades.h"

const char* DcyGrade(double dcy) {
    if (dcy == 0)
        return "なし";
    if (dcy <= 5)
        return "軽微";
    if (dcy <= 10)
        return "小";
    if (dcy <= 20)
        return "中";
    if (dcy <= 40)
        return "大";
    return "甚大";
}

const char* PlGrade(double pl) {
    if (pl == 0)
        return "かなり小さい";
    if (pl <= 5)
        return "低い";
    if (pl <= 15)
        return "高い";
    return "極めて高い";
}
