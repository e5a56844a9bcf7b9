FUNC Void start(VOID)
{	VAR INT x=-4.75e-2;
	IF(x Eq .5){ RETURN }
#© comment €ÿ
	Fork Schedule Repeat 3d2 EVERY 1E+
}